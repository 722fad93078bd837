// orlantix-validate: runs host-torture scenarios against any VST 2 library and reports, for
// each, what the plug-in got wrong. Exit status 1 when any scenario has a finding (0 with
// --report-only), 2 on a usage error.

#include "KnownFindings.h"
#include "Scenario.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace
{

void Usage()
{
    std::printf(
        "usage: orlantix-validate [options] PLUGIN\n"
        "  --long            many more rounds (a long run, not for the test suite)\n"
        "  --seed N          seed of every random choice (default 1)\n"
        "  --only A,B        run only the named scenarios\n"
        "  --threaded        run only the scenarios with two threads\n"
        "  --foreign LIB     hand this plug-in's chunks over too (repeatable)\n"
        "  --state FILE      load this state chunk into every instance after it starts\n"
        "  --report-only     print findings but exit 0 (for third-party plug-ins)\n"
        "  --list            list the scenarios and exit\n"
        "  --known FILE      findings already routed for a fix: \"SCENARIO TEXT\" lines;\n"
        "                    reported but not counted, and an entry no longer seen counts\n"
        "  --verbose         a line per judged step: blocks, events and note-ons\n"
        "Set ORLANTIX_CHECK_LOG=1 to have Orlantix's own consistency checks logged on\n"
        "standard error (lines with \"check failed:\"), each after the scenario's header.\n");
}

bool Selected(const std::string& only, const char* name)
{
    if (only.empty())
        return true;
    const std::string list = "," + only + ",";
    return list.find("," + std::string(name) + ",") != std::string::npos;
}

} // namespace

int main(int argc, char** argv)
{
    orxvalidate::Options options;
    std::string only;
    bool threadedOnly = false, reportOnly = false, list = false;
    orxvalidate::KnownFindings known;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--long")
            options.mLong = true;
        else if (a == "--seed" && hasValue)
            options.mSeed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--only" && hasValue)
            only = argv[++i];
        else if (a == "--threaded")
            threadedOnly = true;
        else if (a == "--foreign" && hasValue)
            options.mForeign.push_back(argv[++i]);
        else if (a == "--state" && hasValue)
        {
            std::ifstream in(argv[++i], std::ios::binary);
            options.mState.assign(std::istreambuf_iterator<char>(in), {});
            if (!in.good() && !in.eof())
            {
                std::fprintf(stderr, "orlantix-validate: cannot read %s\n", argv[i]);
                return 2;
            }
            if (options.mState.empty())
            {
                std::fprintf(stderr, "orlantix-validate: %s is empty or missing\n", argv[i]);
                return 2;
            }
        }
        else if (a == "--known" && hasValue)
        {
            std::string error;
            if (!known.Load(argv[++i], &error))
            {
                std::fprintf(stderr, "orlantix-validate: %s\n", error.c_str());
                return 2;
            }
        }
        else if (a == "--verbose")
            options.mVerbose = true;
        else if (a == "--report-only")
            reportOnly = true;
        else if (a == "--list")
            list = true;
        else if (a == "--help" || a == "-h")
        {
            Usage();
            return 0;
        }
        else if (!a.empty() && a[0] != '-' && options.mPlugin.empty())
            options.mPlugin = a;
        else
        {
            std::fprintf(stderr, "orlantix-validate: unknown argument %s\n", a.c_str());
            Usage();
            return 2;
        }
    }
    const std::vector<orxvalidate::Scenario> all = orxvalidate::AllScenarios();
    if (list)
    {
        for (const orxvalidate::Scenario& s : all)
            std::printf("%-26s %s%s\n", s.mName, s.mThreaded ? "[two threads] " : "", s.mWhat);
        return 0;
    }
    if (options.mPlugin.empty())
    {
        Usage();
        return 2;
    }

    int ran = 0, faulty = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (const orxvalidate::Scenario& s : all)
    {
        if (!Selected(only, s.mName) || (threadedOnly && !s.mThreaded))
            continue;
        std::fprintf(stderr, "== scenario %s\n", s.mName);
        std::fflush(stdout);
        const auto start = std::chrono::steady_clock::now();
        orxvalidate::Context cx(options);
        s.mRun(cx);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++ran;
        std::vector<std::string> fresh, old;
        for (const std::string& f : cx.Findings())
            (known.Known(s.mName, f) ? old : fresh).push_back(f);
        for (const std::string& gone : known.Unseen(s.mName))
            fresh.push_back("the known finding \"" + gone + "\" no longer occurs: remove it");
        std::printf("%s %-26s %7.1f s\n", fresh.empty() ? "ok   " : "FAULT", s.mName, seconds);
        if (!fresh.empty())
            ++faulty;
        std::size_t shown = 0;
        for (const std::string& f : fresh)
            if (shown++ < 8)
                std::printf("      - %s\n", f.c_str());
        if (fresh.size() > shown)
            std::printf("      (%zu findings in all)\n", fresh.size());
        if (!old.empty())
            std::printf(
                "      known: %s%s\n", old.front().c_str(),
                old.size() > 1
                    ? (" (" + std::to_string(old.size()) + " known findings in all)").c_str()
                    : "");
        std::fflush(stdout);
    }
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("validate %s: %d scenarios, %d with findings, %.1f s%s\n", options.mPlugin.c_str(),
                ran, faulty, total, options.mLong ? " (long)" : "");
    if (ran == 0)
    {
        std::fprintf(stderr, "orlantix-validate: no scenario matches %s\n", only.c_str());
        return 2;
    }
    return faulty > 0 && !reportOnly ? 1 : 0;
}
