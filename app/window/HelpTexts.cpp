// What the help window says.
#include "app/window/HelpTexts.h"

namespace app {

namespace {

HelpContentItem body(std::string text) {
  return {HelpContentItem::Kind::body, {}, std::move(text)};
}
HelpContentItem row(std::string name, std::string text) {
  return {HelpContentItem::Kind::paramRow, std::move(name), std::move(text)};
}
HelpContentItem tip(std::string text) { return {HelpContentItem::Kind::tip, {}, std::move(text)}; }

std::vector<HelpContentPage> makePages() {
  return {
      {"Overview",
       "What Fresh Heck is This?",
       {
           body("Quorvane is a polyphonic wavetable synthesiser, with multiple oscillators per "
                "voice, a shared filter, a touch of modulation and some effects."),
           body("Like our other apps, Quorvane is idiosyncratic and a bit wilful. It makes use of "
                "classic synthesis elements but it is in no sense an emulation."),
           body("Beneath that plastic green surface lie hidden shallows."),
           body("This app is a standalone wrapper that lets you play Quorvane through the system "
                "audio. For more interesting uses, load it as an LV2 or VST3 instrument in "
                "Ardour, Reaper, Bitwig Studio, Carla, Qtractor, or any other compatible host."),
       }},
      {"Oscillators",
       "Oscillators",
       {
           body("The synth has 16 voices, each of which mixes four \"unison\" oscillators plus a "
                "sub-oscillator one octave below. The oscillators interpolate through a table of "
                "eight waveforms, ranging from a simple sine to bandlimited white noise."),
           tip("The waveform display at the upper left shows the current waveforms for the "
               "oscillators, as determined by the Shape and Spread parameters."),
           row("Shape", "Base wavetable position. 0 is the sine row at the start; 1 is the noise "
                        "row at the end."),
           row("Detune", "Unison detune spread around the target pitch, up to \u00b150 cents."),
           row("Spread", "Unison wavetable spread around the base Shape. At zero they all have the "
                         "same shape; at full they range up to half the table away."),
           row("Boost", "Amplitude of the sub-oscillator."),
       }},
      {"Filter",
       "Filter",
       {
           body("Stereo filter with switchable response and rolloff, shared by all voices. "
                "Channel aftertouch and polyphonic key pressure adjust the cutoff (depending on "
                "the Touch parameter)."),
           row("Frequency", "Cutoff, 20 Hz \u2013 20 kHz. (Upper bound may be constrained by host "
                            "sample rate.)"),
           row("Resonance", "Q, 0.7 \u2013 8."),
           row("LP / BP / HP", "Filter response \u2014 low-pass, band-pass, or high-pass."),
           row("12 / 24", "Rolloff slope, dB/octave."),
           row("Touch", "Aftertouch / key-pressure depth onto the cutoff. At zero, pressure is "
                        "ignored; at one, full pressure pins the cutoff at its upper bound."),
       }},
      {"Envelope",
       "Envelope",
       {
           body("A linear ADSR envelope shapes each voice from key-down to release."),
           row("Attack", "ADSR attack time, 1 ms \u2013 20 s."),
           row("Decay", "ADSR decay time, 1 ms \u2013 20 s."),
           row("Sustain", "Held note level, 0 \u2013 1."),
           row("Release", "ADSR release time, 1 ms \u2013 20 s. Updated live, so reducing it will "
                          "shorten existing long tails."),
       }},
      {"Modulation",
       "Modulation",
       {
           body("A single shared sinusoidal LFO drives most of the time-varying behaviour. An "
                "additional damped random-walk adds slow organic detuning."),
           row("Rate", "LFO frequency, 0.1 \u2013 20 Hz."),
           row("Motion", "How much the LFO modulates Shape and Spread."),
           row("Spacetime", "Per-oscillator rotating stereo pan and detune modulation."),
           row("Drift", "Per-note tuning shift from a slow damped random walk. At full, each new "
                        "note inherits an offset up to \u00b125 cents."),
       }},
      {"Effects",
       "Effects",
       {
           body("Series chain after the filter: stereo delay \u2192 drive \u2192 velvet-noise "
                "reverb \u2192 saturator. The reverb sits inside the saturator so wet tails get "
                "the same gentle compression as the dry signal."),
           row("Time", "Stereo delay time, 0 \u2013 1 second."),
           row("Echo", "Stereo delay wet mix and feedback, 0 \u2013 0.7."),
           row("Drive", "Pre-saturation gain, 1 \u2013 10."),
           row("Space", "Reverb time (0.5 \u2013 10 s) and wet mix (0 \u2013 1)."),
       }},
      {"Host",
       "Host controls",
       {
           body("The controls at the top and bottom of the main window, where the background is "
                "a darker green, belong to the host app, not the synth itself. Other LV2 and VST3 "
                "hosts (your DAW: Ardour, Reaper, Bitwig Studio, Carla, Qtractor and the rest) "
                "will provide their own MIDI input and patch management."),
           row("Presets", "The top-left popup lists factory and user presets. \"Save\" overwrites "
                          "the loaded user preset (disabled for factory presets and when nothing "
                          "has changed); \"Save As\u2026\" writes a new user preset."),
           row("Play/Stop", "Starts and stops the demo blues sequence generated by Pallix."),
           row("BPM", "Sets the tempo for the demo sequence."),
           row("Help", "Click the ? button at the top right to reopen this help."),
           row("Keyboard", "Click and hold a key to play it. Drag up and down to send polyphonic "
                           "key pressure for that note."),
           row("Pitch bend", "Vertical strip to the left of the keyboard. Drag the divider line up "
                             "or down; release and it springs back to home position."),
           row("OCT", "Left and right buttons shift the keyboard's octave base."),
           row("HOLD", "When lit, latches notes. A fresh click on a key latches it; click again to "
                       "release. Dragging a re-press sends pressure without releasing."),
           tip("Close the window to dismiss this help."),
       }},
      {"Pallix",
       "Pallix",
       {
           body("Pallix is MIDI plugin bundled with Quorvane that generates 12-bar blues "
                "sequences. This app uses a fixed configuration for demo purposes, with no UI, "
                "but if you load Pallix into a plug-in host it provides the following "
                "parameters:"),
           row("Embroidery", "Probability of adding bass runs, fills and turnarounds."),
           row("Easiness", "In regular meters this swings the offbeat. In compound meters such as "
                           "12/8 it instead controls the drop rate of triplet middle notes."),
           row("Etiquette", "Jazziness of the underlying chord progression."),
           row("Exotica", "Aggressiveness of phrase mutation."),
           row("Emotion",
               "Note density. At low values more notes are dropped for a sparser sound."),
           row("Evolution", "Stylistic consistency of added phrases."),
           row("Root Note", "Base of the chord progression, C \u2013 B."),
           row("Mode", "Major or minor."),
       }},
  };
}

} // namespace

const std::vector<HelpContentPage>& helpPages() {
  static const std::vector<HelpContentPage> pages = makePages();
  return pages;
}

std::string helpVersionLine(const std::optional<std::string>& shortVersion,
                            const std::optional<std::string>& buildNumber) {
  // Appended piece by piece: "v" + std::string trips GCC 12's false -Wrestrict alarm.
  std::string line = "v";
  line.append(shortVersion.value_or("?")).append(" (").append(buildNumber.value_or("?"));
  return line.append(")");
}

std::string helpVersionLine() {
#if defined(QUORVANE_VERSION) && defined(QUORVANE_BUILD_NUMBER)
  return helpVersionLine(std::string(QUORVANE_VERSION), std::string(QUORVANE_BUILD_NUMBER));
#else
  return helpVersionLine(std::nullopt, std::nullopt);
#endif
}

} // namespace app
