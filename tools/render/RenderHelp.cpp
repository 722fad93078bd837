// The text of --help: kept beside the options it describes.

#include "RenderOptions.h"

namespace orxrender
{

std::string HelpText()
{
    return R"(Usage: orlantix-render [options]

Hosts a VST 2 plug-in through its entry point, plays a transport and writes the MIDI it sends.

What it hosts
  --plugin PATH           the plug-in library (default: the one built beside this program)
  --host-product TEXT     the host's product string as the plug-in asks for it (default empty)

The transport
  --sample-rate HZ        sample rate, a whole number (default 44100)
  --block N               frames per process call (default 512)
  --block random:SEED     process calls of 1 to 2048 frames from a seeded generator
  --tempo BPM             tempo (default 120)
  --time-sig N/D          time signature (default 4/4)
  --start SAMPLE          host position of the first frame (default 0)
  --seconds S | --bars B  how long the transport plays (default 4 bars)
  --stop-at SAMPLE        from this sample on the transport is reported stopped; the
                          position keeps advancing
  --loop START:END        the host position jumps back to START whenever it reaches END
  Process calls end early at the stop sample and at END, as hosts cut their cycles there.

What it sets in the plug-in
  --load-state FILE       a state chunk (with its header) handed to the plug-in
  --preset FILE           a text preset, handed over as the state it gives the plug-in
  --param NAME=VALUE      a parameter by its name; VALUE is a text the plug-in shows for it
                          ("1/16", "C5", "Dorian", "0.50", "100", "on") or @x for the
                          normalised value x; repeatable, applied in order
  --save-state FILE       the plug-in's state chunk, taken after the settings above and
                          before the transport plays
  --midi-in FILE          MIDI fed to the plug-in before the process call of each event's
                          block, at its offset: a Standard MIDI File, or a listing as
                          --events writes it ("sample status-in-hex data1 data2"), the
                          sample on the render's timeline (which starts at --start)

What it writes
  --events FILE|-         one line per MIDI event sent: "sample status data1 data2", the
                          sample being the block's host position plus the event's offset
  --midi FILE             a Standard MIDI File (format 0, 960 ticks per quarter note) with
                          the notes where they sounded, a loop played out in time
  --synth PATH --wav FILE plays the events through a VST 2 synthesiser into a WAV file
  --wav-peak DB           scales the WAV file so that its loudest sample is DB decibels
                          below full scale (-96 to 0, like -1); kept in memory until the end
  --summary               a short summary and a piano roll of the first bars on the terminal

The order of calls, which the output depends on (some settings are computed when their
handler runs, the note length at the tempo of that moment, for one), is fixed:
  VSTPluginMain, open, sample rate, block size, resume (mains on); then --load-state,
  --preset and the --param values; then --save-state; then the process calls; at the end
  mains off and close.

Exit status: 0 on success, 1 when the render fails, 2 for a bad command line.
)";
}

} // namespace orxrender
