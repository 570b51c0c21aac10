// Message boxes of the model: recorded with owner, caption, text and flags,
// answered from a script, and the default answers without a handler.
#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(MessageBoxes, RecordedAndAnsweredFromTheScript) {
  MessageBoxRecorder boxes;
  boxes.QueueAnswer(kIdYes);
  auto* owner = reinterpret_cast<DialogHandle>(0x1234);
  EXPECT_EQ(ShowMessageBox(owner, u"This file already exists. Overwrite?", u"Quarvel", kMbYesNo),
            kIdYes);
  EXPECT_EQ(ShowMessageBox(nullptr, u"You must enter valid shortcut name!", u"Error!",
                           kMbIconExclamation),
            kIdOk);
  EXPECT_EQ(ShowMessageBox(owner, u"Again?", u"Quarvel", kMbYesNo), kIdNo)
      << "after the script, Yes/No answers No";
  const auto shown = boxes.Boxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_EQ(Narrow(shown[0].caption), "Quarvel");
  EXPECT_EQ(Narrow(shown[0].text), "This file already exists. Overwrite?");
  EXPECT_EQ(shown[0].flags, kMbYesNo);
  EXPECT_EQ(shown[0].answer, kIdYes);
  EXPECT_EQ(shown[1].owner, nullptr);
  EXPECT_EQ(Narrow(shown[1].caption), "Error!");
  EXPECT_EQ(shown[1].flags, kMbIconExclamation);
  EXPECT_EQ(shown[2].answer, kIdNo);
}

TEST(MessageBoxes, WaitsForBoxesFromOtherThreads) {
  MessageBoxRecorder boxes;
  std::thread worker([] {
    ShowMessageBox(nullptr, u"Coordinates copied in your clipboard succefully!", u"Quarvel!",
                   kMbOk);
  });
  EXPECT_TRUE(boxes.WaitForCount(1, kPatience));
  worker.join();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(Narrow(boxes.Boxes()[0].text), "Coordinates copied in your clipboard succefully!");
  EXPECT_FALSE(boxes.WaitForCount(2, std::chrono::milliseconds(1)));
}

TEST(MessageBoxes, DefaultAnswersPrintOnStandardError) {
  const struct {
    unsigned flags;
    int answer;
  } cases[] = {{kMbOk, kIdOk},
               {kMbOk | kMbIconError, kIdOk},
               {kMbYesNo, kIdNo},
               {kMbYesNo | kMbIconQuestion, kIdNo},
               {kMbOkCancel, kIdCancel}};
  for (const auto& c : cases) EXPECT_EQ(DefaultMessageBoxAnswer(c.flags), c.answer) << c.flags;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox(nullptr, u"Config saved successfully! \u00e9", u"Ok!", kMbOk), kIdOk);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Ok! Config saved successfully! \xc3\xa9\n");
}

}  // namespace
