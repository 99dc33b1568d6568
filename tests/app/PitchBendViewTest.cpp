// The pitch-bend strip: bend values, repeats suppressed, the spring-back series and layout, as
// tests/data/views/layouts.txt records them.
#include "app/window/PitchBendView.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using app::PitchBendView;

// Steps on a strip 26 x 200: "pY" presses at y = Y, "dY" drags there, "r" releases, "tN" runs
// N ticks of the spring-back, "hH" makes the strip H high. Each step shows the divider and
// whether it is springing back or held; then the bends sent. Rewritten with
// ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on purpose.
TEST(PitchBend, GesturesAsRecorded) {
  const char* scripts[] = {
      // Each new value once: less than a step, and past either end, send nothing more.
      "p100 d99.995 d-50 d-500 d1000 d201",
      // A release from above the top springs back to the middle, a press during it stops it.
      "p-20 r t27 t1 t1", "p0 r t1 p150 r r",
      // Resizing centres the divider only at rest; a drag after the release does nothing.
      "h300 p40 h320 r h340 d10",
      // Nothing without a height.
      "h0 p10 r t40"};
  std::ostringstream out;
  for (const char* script : scripts) {
    PitchBendView strip;
    strip.setSize(26, 200);
    std::vector<int> sent;
    strip.onPitchBend = [&](int bend) { sent.push_back(bend); };
    out << script << ": from " << strip.dividerY() << ",";
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const double n = std::atof(step.c_str() + 1);
      if (step == "r")
        strip.release();
      else if (step[0] == 'p')
        strip.pressAt(n);
      else if (step[0] == 'd')
        strip.dragTo(n);
      else if (step[0] == 'h')
        strip.setSize(26, static_cast<int>(n));
      else
        for (int i = 0; i < n; ++i)
          strip.tick();
      out << " " << strip.dividerY() << (strip.isSpringingBack() ? " springing" : "")
          << (strip.isInteracting() ? " held" : "") << ",";
    }
    out << " sent";
    for (int bend : sent)
      out << " " << bend;
    out << "\n";
  }
  for (double y : {-5.0, 0.0, 18.0, 99.99, 100.0, 100.01, 150.0, 199.99, 200.0, 250.0})
    out << "divider " << y << " of 200: " << PitchBendView::bendValue(y, 200) << "\n";
  golden::expectSection("pitch-bend", out.str());
}
