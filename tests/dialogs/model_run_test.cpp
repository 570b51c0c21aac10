// The dialog model's modal runs: initialisation, message delivery, ends from
// any thread, the default for WM_CLOSE, nested dialogs and sent messages.
#include "dialog_driver.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

MessageLog received;
std::atomic<intptr_t> initParamSeen{0};

// Ends with 42 on Stop; records everything.
intptr_t StopEndsProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  received.Add(message, wParam, lParam);
  if (message == kWmInitDialog) initParamSeen = lParam;
  if (message == kWmCommand && LowWord(wParam) == IDC_STOP) EndDialogWith(dialog, 42);
  return 0;
}

// Handles nothing: WM_CLOSE is left to the dialog manager.
intptr_t IgnoringProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  received.Add(message, wParam, lParam);
  if (message == kWmCommand && LowWord(wParam) == kIdCancel) EndDialogWith(dialog, 3);
  return 0;
}

// A worker thread, as Quarvel's, sets the status line and ends the dialog.
std::thread worker;
intptr_t WorkerEndsProc(DialogHandle dialog, unsigned message, uintptr_t, intptr_t) {
  if (message == kWmInitDialog) {
    worker = std::thread([dialog] {
      SetControlText(dialog, IDC_STATUS_LINE, u"Connecting...");
      SetControlImage(dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
      EndDialogWith(dialog, 7);
    });
  }
  return 0;
}

intptr_t AnsweringProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message == kWmUser + 1) return intptr_t(wParam) * 10 + lParam;
  if (message == kWmClose) return EndDialogWith(dialog, 0);
  return 0;
}

intptr_t TrueInitProc(DialogHandle dialog, unsigned message, uintptr_t, intptr_t) {
  if (message == kWmClose) EndDialogWith(dialog, 0);
  return message == kWmInitDialog ? 1 : 0;
}

// The outer form runs the name dialog on command 40007, as QuarvelConfig does.
MessageLog outerReceived;
intptr_t OuterProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  outerReceived.Add(message, wParam, lParam);
  if (message == kWmCommand && LowWord(wParam) == IDM_SHORTCUT) {
    const intptr_t inner = RunModalDialog(IDD_SHORTCUT_NAME, dialog, StopEndsProc, 0);
    SetControlText(dialog, IDC_PORT, inner == 42 ? u"inner 42" : u"inner other");
  }
  if (message == kWmClose) EndDialogWith(dialog, 5);
  return 1;
}

TEST(ModalRun, InitThenCommandsUntilEndedWithItsResult) {
  received.Clear();
  auto run = StartDialog(IDD_STATUS, StopEndsProc, 1234);
  DialogHandle dialog = ModelWaitForDialog(IDD_STATUS, kPatience);
  ASSERT_NE(dialog, nullptr) << "the dialog never came up";
  ASSERT_TRUE(PostDialogMessage(dialog, kWmCommand, MakeWParam(9999, kBnClicked), 0));
  ASSERT_TRUE(ModelClick(dialog, IDC_STOP));
  EXPECT_EQ(Finish(run), 42);
  EXPECT_EQ(initParamSeen.load(), 1234);
  const std::vector<ReceivedMessage> expected = {
      {kWmInitDialog, 0, 1234},
      {kWmActivate, kWaActive, 0},
      {kWmCommand, MakeWParam(9999, kBnClicked), 0},
      {kWmCommand, MakeWParam(IDC_STOP, kBnClicked), 0},
      {kWmDestroy, 0, 0},
  };
  EXPECT_EQ(received.Messages(), expected);
  EXPECT_FALSE(ModelSnapshot(dialog)) << "an ended dialog must be gone";
  EXPECT_FALSE(PostDialogMessage(dialog, kWmClose, 0, 0)) << "posting to a gone dialog";
  EXPECT_FALSE(SetControlText(dialog, IDC_STATUS_LINE, u"late"));
  EXPECT_TRUE(ModelWaitForNoDialog(kPatience));
}

TEST(ModalRun, MissingTemplateOrProcedureFails) {
  EXPECT_EQ(RunModalDialog(4242, nullptr, StopEndsProc, 0), -1);
  EXPECT_EQ(RunModalDialog(IDD_STATUS, nullptr, nullptr, 0), -1);
}

TEST(ModalRun, UnhandledCloseBecomesCancel) {
  received.Clear();
  auto run = StartDialog(IDD_SHORTCUT_NAME, IgnoringProc);
  DialogHandle dialog = ModelWaitForDialog(IDD_SHORTCUT_NAME, kPatience);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PostDialogMessage(dialog, kWmClose, 0, 0));
  EXPECT_EQ(Finish(run), 3);
  const auto kinds = received.Kinds();
  ASSERT_GE(kinds.size(), 4u);
  EXPECT_EQ(kinds[2], kWmClose);
  EXPECT_EQ(kinds[3], kWmCommand);
  EXPECT_EQ(LowWord(received.Messages()[3].wParam), unsigned(kIdCancel));
}

TEST(ModalRun, WorkerThreadChangesControlsAndEndsTheDialog) {
  std::mutex mutex;
  std::vector<int> changed;
  SetModelObserver([&](const ModelEvent& event) {
    std::lock_guard lock(mutex);
    if (event.kind == ModelEvent::ControlChanged) changed.push_back(event.controlId);
  });
  auto run = StartDialog(IDD_STATUS, WorkerEndsProc);
  EXPECT_EQ(Finish(run), 7) << "EndDialogWith from the worker must wake the modal loop";
  worker.join();
  SetModelObserver({});
  std::lock_guard lock(mutex);
  EXPECT_EQ(changed, (std::vector<int>{IDC_STATUS_LINE, IDC_INDICATOR}));
}

TEST(ModalRun, SentMessagesReturnTheProceduresResult) {
  auto run = StartDialog(IDD_STATUS, AnsweringProc);
  DialogHandle dialog = ModelWaitForDialog(IDD_STATUS, kPatience);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDialogMessage(dialog, kWmUser + 1, 4, 2), 42);
  // From several threads at once, each gets its own answer.
  std::vector<std::thread> senders;
  std::atomic<int> right{0};
  for (int i = 0; i < 8; ++i) {
    senders.emplace_back([&, i] {
      if (SendDialogMessage(dialog, kWmUser + 1, uintptr_t(i), 1) == i * 10 + 1) ++right;
    });
  }
  for (auto& sender : senders) sender.join();
  EXPECT_EQ(right.load(), 8);
  EXPECT_EQ(SendDialogMessage(dialog, kWmClose, 0, 0), 1);
  EXPECT_EQ(Finish(run), 0);
  EXPECT_EQ(SendDialogMessage(dialog, kWmUser + 1, 1, 1), 0) << "a gone dialog answers 0";
}

TEST(ModalRun, InitialFocusFollowsTheInitResult) {
  const struct {
    int templateId;
    DialogProc proc;
    int focus;
  } cases[] = {
      {IDD_STATUS, AnsweringProc, 0},                        // FALSE: no default focus
      {IDD_SHORTCUT_NAME, TrueInitProc, IDC_SHORTCUT_NAME},  // TRUE: first tab stop
      {IDD_CONFIG, TrueInitProc, IDC_PORT},
  };
  for (const auto& c : cases) {
    auto run = StartDialog(c.templateId, c.proc);
    DialogHandle dialog = ModelWaitForDialog(c.templateId, kPatience);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ModelSnapshot(dialog)->focusId, c.focus) << "dialog " << c.templateId;
    PostDialogMessage(dialog, kWmClose, 0, 0);
    EXPECT_EQ(Finish(run), 0);
  }
}

TEST(ModalRun, NestedDialogRunsOnTopAndOuterKeepsItsMessages) {
  received.Clear();
  outerReceived.Clear();
  auto run = StartDialog(IDD_CONFIG, OuterProc);
  DialogHandle outer = ModelWaitForDialog(IDD_CONFIG, kPatience);
  ASSERT_NE(outer, nullptr);
  ASSERT_TRUE(PostDialogMessage(outer, kWmCommand, IDM_SHORTCUT, 0));
  DialogHandle inner = ModelWaitForDialog(IDD_SHORTCUT_NAME, kPatience);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(ModelActiveDialog(), inner);
  EXPECT_EQ(ModelSnapshot(inner)->owner, outer);
  // The outer dialog still answers while the inner one runs on the same thread.
  EXPECT_EQ(SendDialogMessage(outer, kWmUser + 7, 0, 0), 1);
  EXPECT_FALSE(ModelClick(inner, IDC_LABEL)) << "a label is not clickable";
  ASSERT_TRUE(PostDialogMessage(inner, kWmCommand, IDC_STOP, 0));
  // Back in the outer loop: its port field tells what the inner run returned.
  std::u16string port;
  for (int i = 0; i < 2000 && port != u"inner 42"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    port = ModelControlState(outer, IDC_PORT).value_or(ModelControl{}).text;
  }
  EXPECT_TRUE(port == u"inner 42") << "the inner run did not return 42 to the outer procedure";
  EXPECT_EQ(ModelActiveDialog(), outer);
  EXPECT_EQ(SendDialogMessage(outer, kWmClose, 0, 0), 1);
  EXPECT_EQ(Finish(run), 5);
  bool sawInnerResult = false;
  for (const ReceivedMessage& m : outerReceived.Messages())
    if (m.message == kWmUser + 7) sawInnerResult = true;
  EXPECT_TRUE(sawInnerResult) << "the outer dialog missed a message sent during the inner run";
  const auto outerKinds = outerReceived.Kinds();
  EXPECT_EQ(std::count(outerKinds.begin(), outerKinds.end(), kWmActivate), 2)
      << "the owner is activated again when the inner dialog ends";
}

TEST(FindAppWindow, FindsARunningDialogByClassAndTitle) {
  auto run = StartDialog(IDD_CONFIG, AnsweringProc);
  DialogHandle dialog = ModelWaitForDialog(IDD_CONFIG, kPatience);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FindAppWindow(u"Dialog", u"Quarvel"), dialog);
  EXPECT_EQ(FindAppWindow(u"Dialog", u"Other"), nullptr);
  EXPECT_EQ(FindAppWindow(u"Button", u"Quarvel"), nullptr);
  EXPECT_TRUE(BringToFront(dialog));
  PostDialogMessage(dialog, kWmClose, 0, 0);
  EXPECT_EQ(Finish(run), 0);
  EXPECT_EQ(FindAppWindow(u"Dialog", u"Quarvel"), nullptr);
}

}  // namespace
