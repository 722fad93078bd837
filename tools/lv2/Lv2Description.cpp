#include "Lv2Description.h"

#include "IPlugBase.h"
#include "Lv2Ports.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orxlv2
{
namespace
{

constexpr const char* kPrefixes = "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
                                  "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                                  "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
                                  "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                                  "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix rsz:   <http://lv2plug.in/ns/ext/resize-port#> .\n"
                                  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                  "@prefix time:  <http://lv2plug.in/ns/ext/time#> .\n"
                                  "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
                                  "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

// Room for the MIDI of the longest block a host gives: many hosts size atom buffers small.
constexpr int kOutputBytes = 262144;

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// A number as Turtle reads it: a decimal with a point, in its shortest exact form.
std::string Number(double v)
{
    char text[64];
    if (v == std::floor(v) && std::fabs(v) < 1e15)
    {
        std::snprintf(text, sizeof(text), "%.1f", v);
        return text;
    }
    for (int precision = 1; precision <= 17; ++precision)
    {
        std::snprintf(text, sizeof(text), "%.*f", precision, v);
        if (std::strtod(text, nullptr) == v)
            break;
    }
    return text;
}

std::string ControlPort(int port, const IParameter& param)
{
    const std::string name = param.Name();
    std::string s = "    lv2:port [\n        a lv2:InputPort , lv2:ControlPort ;\n";
    s += "        lv2:index " + std::to_string(port) + " ;\n";
    s += "        lv2:symbol " + Quoted(lv2ports::PortSymbol(param.Name())) + " ;\n";
    s += "        lv2:name " + Quoted(name) + " ;\n";
    const float def = lv2ports::PortValue(param, param.Value());
    s += "        lv2:default " + Number(def) + " ;\n";
    s += "        lv2:minimum " + Number(lv2ports::PortValue(param, param.Min())) + " ;\n";
    s += "        lv2:maximum " + Number(lv2ports::PortValue(param, param.Max())) + " ;\n";
    switch (param.Type())
    {
    case IParameter::kTypeBool:
        s += "        lv2:portProperty lv2:toggled ;\n";
        break;
    case IParameter::kTypeEnum:
        s += "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
        break;
    case IParameter::kTypeInt:
        s += "        lv2:portProperty lv2:integer ;\n";
        break;
    default:
        break;
    }
    if (param.Type() != IParameter::kTypeBool)
    {
        for (int i = 0; i < param.NDisplayTexts(); ++i)
        {
            int key = 0;
            const char* text = param.DisplayTextAt(i, &key);
            s += "        lv2:scalePoint [ rdfs:label " + Quoted(text) + " ; rdf:value " +
                 Number(key) + " ] ;\n";
        }
    }
    // Turtle wants the last ";" gone before the closing bracket.
    s.resize(s.size() - 3);
    return s + "\n    ] ;\n";
}

} // namespace

std::string PresetUri(const char* uri, const std::string& name)
{
    std::string fragment;
    for (char c : name)
    {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        fragment += plain ? c : '_';
    }
    return std::string(uri) + "#preset-" + fragment;
}

std::string Base64(const std::vector<uint8_t>& bytes)
{
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3)
    {
        const uint32_t n = (uint32_t{bytes[i]} << 16) |
                           (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                           (i + 2 < bytes.size() ? uint32_t{bytes[i + 2]} : 0);
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return out;
}

std::string ManifestTtl(const char* uri, const std::string& library,
                        const std::vector<PresetEntry>& presets)
{
    const std::string plugin = "<" + std::string(uri) + ">";
    std::string s = kPrefixes;
    s += plugin + "\n    a lv2:Plugin ;\n    lv2:binary <" + library + "> ;\n";
    s += "    rdfs:seeAlso <Orlantix.ttl> .\n\n";
    s += "<" + std::string(uri) + "#ui>\n    a ui:X11UI ;\n    ui:binary <" + library + "> ;\n";
    s += "    rdfs:seeAlso <Orlantix.ttl> .\n";
    for (const PresetEntry& p : presets)
    {
        s += "\n<" + PresetUri(uri, p.mName) + ">\n    a pset:Preset ;\n";
        s += "    lv2:appliesTo " + plugin + " ;\n    rdfs:label " + Quoted(p.mName) + " ;\n";
        s += "    rdfs:seeAlso <presets.ttl> .\n";
    }
    return s;
}

std::string PluginTtl(const char* uri, const IPlugBase& plug)
{
    const std::string plugin = "<" + std::string(uri) + ">";
    std::string s = kPrefixes;
    s += plugin + "\n    a lv2:Plugin , lv2:MIDIPlugin , doap:Project ;\n";
    s += "    doap:name " + Quoted(plug.EffectName()) + " ;\n";
    s += "    doap:maintainer [ foaf:name " + Quoted(plug.MfrName()) + " ] ;\n";
    const int version = plug.PluginVersion(false);
    s += "    lv2:minorVersion " + std::to_string((version >> 8) & 0xFF) + " ;\n";
    s += "    lv2:microVersion " + std::to_string(version & 0xFF) + " ;\n";
    s += "    lv2:requiredFeature urid:map ;\n";
    s += "    lv2:optionalFeature lv2:hardRTCapable , opts:options ;\n";
    s += "    lv2:extensionData state:interface ;\n";
    s += "    ui:ui <" + std::string(uri) + "#ui> ;\n";
    s += "    lv2:port [\n        a lv2:InputPort , atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        atom:supports midi:MidiEvent , time:Position ;\n"
         "        lv2:designation lv2:control ;\n"
         "        lv2:index " +
         std::to_string(lv2ports::kEventsIn) +
         " ;\n        lv2:symbol \"events_in\" ;\n        lv2:name \"Events In\"\n    ] ;\n";
    s += "    lv2:port [\n        a lv2:OutputPort , atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        atom:supports midi:MidiEvent ;\n"
         "        rsz:minimumSize " +
         std::to_string(kOutputBytes) + " ;\n        lv2:index " +
         std::to_string(lv2ports::kEventsOut) +
         " ;\n        lv2:symbol \"midi_out\" ;\n        lv2:name \"MIDI Out\"\n    ] ;\n";
    const std::vector<int> params = lv2ports::ControlParams(plug);
    for (std::size_t i = 0; i < params.size(); ++i)
        s += ControlPort(lv2ports::kFirstControl + static_cast<int>(i), *plug.GetParam(params[i]));
    s.resize(s.size() - 3);
    s += " .\n\n";
    s += "<" + std::string(uri) + "#state>\n    a rdf:Property ;\n";
    s += "    rdfs:label \"state\" ;\n";
    s += "    rdfs:comment \"The whole state, as the VST 2 library's state chunk holds it.\" .\n\n";
    s += "<" + std::string(uri) + "#ui>\n    a ui:X11UI ;\n";
    s += "    lv2:requiredFeature ui:idleInterface , ui:parent ,\n"
         "        <http://lv2plug.in/ns/ext/instance-access> ;\n";
    s += "    lv2:optionalFeature ui:resize , ui:touch ;\n";
    s += "    lv2:extensionData ui:idleInterface .\n";
    return s;
}

std::string PresetsTtl(const char* uri, const IPlugBase& plug,
                       const std::vector<PresetEntry>& presets)
{
    const std::vector<int> params = lv2ports::ControlParams(plug);
    std::string s = kPrefixes;
    for (const PresetEntry& p : presets)
    {
        s += "<" + PresetUri(uri, p.mName) + ">\n    a pset:Preset ;\n";
        s += "    lv2:appliesTo <" + std::string(uri) + "> ;\n";
        s += "    rdfs:label " + Quoted(p.mName) + " ;\n";
        for (std::size_t i = 0; i < params.size() && i < p.mPortValues.size(); ++i)
        {
            s += "    lv2:port [ lv2:symbol " +
                 Quoted(lv2ports::PortSymbol(plug.GetParam(params[i])->Name())) + " ; pset:value " +
                 Number(p.mPortValues[i]) + " ] ;\n";
        }
        s += "    state:state [\n        <" + std::string(uri) + "#state> \"" + Base64(p.mChunk) +
             "\"^^xsd:base64Binary\n    ] .\n\n";
    }
    return s;
}

} // namespace orxlv2
