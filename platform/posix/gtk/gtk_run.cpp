// The GTK windows' run: GTK's main loop on this thread, the program on another;
// the model's changes and message boxes reach GTK only through its main context.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/posix/gtk/gtk_front_end.h"
#include "platform/posix/gtk/gtk_windows.h"

using namespace gtk_windows;

namespace {

// Compact controls in the windows laid out from the templates, so that they keep
// the templates' sizes; the forms on a grid take the theme's.
constexpr const char kStyle[] =
    "window.quarvel-dialog { font-size: 9pt; }"
    "window.quarvel-dialog button, window.quarvel-dialog entry,"
    " window.quarvel-dialog combobox button { min-height: 0; padding-top: 1px;"
    " padding-bottom: 1px; }"
    "window.quarvel-dialog combobox entry { min-height: 0; padding-top: 0; padding-bottom: 0; }"
    "window.quarvel-dialog checkbutton { padding: 0; min-height: 0; }"
    ".quarvel-form { margin: 12px; }"
    ".quarvel-form .dim-label { margin-top: 6px; }"
    ".quarvel-soft-keys { margin: 2px; }"
    ".quarvel-form ~ .quarvel-soft-keys { margin: 0 12px 12px 12px; }"
    ".quarvel-message { margin: 12px; }";

struct Runner {
  GtkApplication* app = nullptr;
  std::function<int()> program;
  std::thread worker;
  int exitCode = 0;
  bool started = false;

  std::mutex mutex;  // guards events and scheduled
  std::vector<ModelEvent> events;
  bool scheduled = false;

  // GTK's thread only: the windows of the running dialogs, in start order.
  std::vector<std::pair<DialogHandle, DialogWindow*>> windows;

  DialogWindow* Find(DialogHandle handle) {
    for (auto& [h, w] : windows)
      if (h == handle) return w;
    return nullptr;
  }
  GtkWindow* WindowOf(DialogHandle handle) {
    DialogWindow* found = Find(handle);
    if (!found && !windows.empty()) found = windows.back().second;
    return found ? GTK_WINDOW(found->window) : nullptr;
  }
};

void Apply(Runner& runner, const ModelEvent& event) {
  DialogWindow* window = runner.Find(event.dialog);
  if (event.kind == ModelEvent::DialogEnded) {
    if (!window) return;
    std::erase_if(runner.windows, [&](const auto& entry) { return entry.second == window; });
    CloseDialogWindow(window);
    return;
  }
  const std::optional<ModelDialog> state = ModelSnapshot(event.dialog);
  if (!state) return;
  if (window) {
    SyncDialogWindow(*window, *state);
  } else if (event.kind == ModelEvent::DialogStarted) {
    GtkWindow* owner = state->owner ? runner.WindowOf(state->owner) : nullptr;
    if (DialogWindow* opened = OpenDialogWindow(*state, owner, runner.app))
      runner.windows.emplace_back(event.dialog, opened);
  }
}

gboolean DrainEvents(gpointer data) {
  auto& runner = *static_cast<Runner*>(data);
  std::vector<ModelEvent> events;
  {
    std::lock_guard lock(runner.mutex);
    events.swap(runner.events);
    runner.scheduled = false;
  }
  for (const ModelEvent& event : events) Apply(runner, event);
  return G_SOURCE_REMOVE;
}

void OnModelEvent(Runner& runner, const ModelEvent& event) {
  std::lock_guard lock(runner.mutex);
  runner.events.push_back(event);
  if (!runner.scheduled) g_idle_add(DrainEvents, &runner);
  runner.scheduled = true;
}

struct BoxRequest {
  Runner* runner = nullptr;
  DialogHandle owner = nullptr;
  std::u16string text, caption, detail;
  unsigned flags = 0;
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  int answer = 0;
};

gboolean ShowBox(gpointer data) {
  auto* request = static_cast<BoxRequest*>(data);
  // The dialogs' changes so far come first, so that the box has its owner's window.
  DrainEvents(request->runner);
  OpenMessageBox(request->runner->WindowOf(request->owner), request->text, request->detail,
                 request->caption, request->flags, [request](int answer) {
                   std::lock_guard lock(request->mutex);
                   request->answer = answer;
                   request->done = true;
                   request->answered.notify_all();
                 });
  return G_SOURCE_REMOVE;
}

int AskOnGtkThread(Runner& runner, DialogHandle owner, const std::u16string& text,
                   const std::u16string& caption, unsigned flags, const std::u16string& detail) {
  BoxRequest request;
  request.runner = &runner;
  request.owner = owner;
  request.text = text;
  request.detail = detail;
  request.caption = caption;
  request.flags = flags;
  g_idle_add(ShowBox, &request);
  std::unique_lock lock(request.mutex);
  request.answered.wait(lock, [&] { return request.done; });
  return request.answer;
}

gboolean ProgramEnded(gpointer data) {
  auto& runner = *static_cast<Runner*>(data);
  DrainEvents(&runner);
  g_application_release(G_APPLICATION(runner.app));
  return G_SOURCE_REMOVE;
}

void OnStartup(GApplication*, gpointer) {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kStyle, -1);
  gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(css),
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

// The first activation starts the program; a later one (a second start of a
// unique program) brings the dialog on top to the front.
void OnActivate(GApplication* app, gpointer data) {
  auto& runner = *static_cast<Runner*>(data);
  if (runner.started) {
    if (!runner.windows.empty())
      gtk_window_present(GTK_WINDOW(runner.windows.back().second->window));
    return;
  }
  runner.started = true;
  g_application_hold(app);  // the program may be between two dialogs
  runner.worker = std::thread([&runner] {
    runner.exitCode = runner.program();
    g_idle_add(ProgramEnded, &runner);
  });
}

}  // namespace

bool GtkWindowsBuilt() { return true; }

std::optional<int> RunWithGtkWindows(const std::function<int()>& program,
                                     const GtkRunOptions& options) {
  if (!gtk_init_check()) return std::nullopt;
  Runner runner;
  runner.program = program;
  runner.app =
      gtk_application_new(options.applicationId,
                          options.unique ? G_APPLICATION_DEFAULT_FLAGS : G_APPLICATION_NON_UNIQUE);
  if (options.iconName) gtk_window_set_default_icon_name(options.iconName);
  g_signal_connect(runner.app, "startup", G_CALLBACK(OnStartup), nullptr);
  g_signal_connect(runner.app, "activate", G_CALLBACK(OnActivate), &runner);
  SetModelObserver([&runner](const ModelEvent& event) { OnModelEvent(runner, event); });
  SetMessageBoxHandler([&runner](DialogHandle owner, const std::u16string& text,
                                 const std::u16string& caption, unsigned flags,
                                 const std::u16string& detail) {
    return AskOnGtkThread(runner, owner, text, caption, flags, detail);
  });
  const int status = g_application_run(G_APPLICATION(runner.app), 0, nullptr);
  SetMessageBoxHandler({});
  SetModelObserver({});
  if (runner.worker.joinable()) runner.worker.join();
  // Events still queued point at the runner: let them run before it goes.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  for (auto& [handle, window] : runner.windows) CloseDialogWindow(window);
  g_object_unref(runner.app);
  return runner.started ? runner.exitCode : status;
}
