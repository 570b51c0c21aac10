// Which front end the Linux programs show, for each way they can be started.
#include <gtest/gtest.h>

#include "platform/posix/programs/front_end_choice.h"

namespace {

struct Case {
  const char* name;
  FrontEndFacts facts;  // --gui, --terminal, display, controlling terminal, its front end
                        // can show, GTK built
  FrontEnd expected;
};

const Case kCases[] = {
    {"desktop start", {false, false, true, false, true, true}, FrontEnd::Windows},
    {"from a terminal on the desktop", {false, false, true, true, true, true}, FrontEnd::Terminal},
    {"in a terminal its front end cannot use",
     {false, false, true, true, false, true},
     FrontEnd::Windows},
    {"no display", {false, false, false, false, true, true}, FrontEnd::Terminal},
    {"no display, a terminal it cannot use",
     {false, false, false, true, false, true},
     FrontEnd::Terminal},
    {"--gui from a terminal", {true, false, true, true, true, true}, FrontEnd::Windows},
    {"--gui without a display still tries",
     {true, false, false, true, true, true},
     FrontEnd::Windows},
    {"--terminal on the desktop", {false, true, true, false, true, true}, FrontEnd::Terminal},
    {"--terminal beats --gui", {true, true, true, false, true, true}, FrontEnd::Terminal},
    {"built without GTK", {true, false, true, false, true, false}, FrontEnd::Terminal},
};

TEST(FrontEndChoice, EachWayOfStarting) {
  for (const Case& c : kCases) {
    EXPECT_EQ(ChooseFrontEnd(c.facts), c.expected) << c.name;
  }
}

TEST(FrontEndChoice, DisplayFromEnvironment) {
  setenv("DISPLAY", ":9", 1);
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_TRUE(CurrentFrontEndFacts(false, false, true).display);
  setenv("DISPLAY", "", 1);
  EXPECT_FALSE(CurrentFrontEndFacts(false, false, true).display);
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  const FrontEndFacts facts = CurrentFrontEndFacts(true, false, false);
  EXPECT_TRUE(facts.display);
  EXPECT_TRUE(facts.askedWindows);
  EXPECT_FALSE(facts.windowsBuilt);
}

}  // namespace
