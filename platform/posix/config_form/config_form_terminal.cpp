// The terminal form's run: ncurses on this thread, the program on another, the
// model's changes and message boxes carried between them through a wake pipe.
#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/posix/config_form/config_form.h"
#include "platform/posix/config_form/config_form_ui.h"
#include "resources/resources.h"

using namespace config_form;

namespace {

int signalWakeFd = -1;
volatile sig_atomic_t signalled = 0;

void OnSignal(int) {
  const int saved = errno;
  signalled = 1;
  const char note = 's';
  if (signalWakeFd >= 0) (void)!write(signalWakeFd, &note, 1);
  errno = saved;
}

void Wake(const Ui& ui) {
  const char note = 'w';
  (void)!write(ui.wakeFd[1], &note, 1);
}

void Drain(int fd) {
  char bytes[64];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
}

// Every dialog, top first, is asked to close; an unanswered box gets its default.
void CloseEverything(Ui& ui) {
  AnswerBox(ui, 0);
  ui.popupOpen = false;
  ui.listControl = 0;
  DialogHandle top = ModelActiveDialog();
  if (!top) return;
  PostDialogMessage(top, kWmClose, 0, 0);
  // The name dialog's owner, the form, closes behind it.
  if (const auto state = ModelSnapshot(top); state && state->owner)
    PostDialogMessage(state->owner, kWmClose, 0, 0);
}

void ReadKeys(Ui& ui) {
  wint_t key;
  for (int kind; (kind = get_wch(&key)) != ERR;) {
    if (kind == KEY_CODE_YES && key == KEY_RESIZE) continue;
    HandleKey(ui, int(key), kind == KEY_CODE_YES);
  }
}

void StartCurses() {
  initscr();
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  set_escdelay(50);
}

}  // namespace

int RunWithTerminalForm(int (*program)()) {
  std::setlocale(LC_ALL, "");
  Ui ui;
  if (pipe2(ui.wakeFd, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  StartCurses();
  SetModelObserver([&ui](const ModelEvent&) { Wake(ui); });
  SetMessageBoxHandler([&ui](DialogHandle, const std::u16string& text,
                             const std::u16string& caption, unsigned flags,
                             const std::u16string& detail) {
    std::unique_lock lock(ui.mutex);
    const std::u16string shown = detail.empty() ? text : text + u"\n\n" + detail;
    ui.box = PendingBox{true, shown, caption, flags, 0, 0};
    Wake(ui);
    ui.answered.wait(lock, [&] { return !ui.box.open; });
    return ui.box.answer;
  });
  signalWakeFd = ui.wakeFd[1];
  struct sigaction action = {}, oldTerm, oldHup, oldInt;
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, &oldTerm);
  sigaction(SIGHUP, &action, &oldHup);
  sigaction(SIGINT, &action, &oldInt);

  std::atomic<bool> done = false;
  int exitCode = 0;
  std::thread worker([&] {
    exitCode = program();
    done = true;
    Wake(ui);
  });
  while (!done) {
    Draw(ui);
    pollfd fds[2] = {{0, POLLIN, 0}, {ui.wakeFd[0], POLLIN, 0}};
    if (poll(fds, 2, 1000) < 0 && errno != EINTR) break;
    Drain(ui.wakeFd[0]);
    if (signalled) {
      signalled = 0;
      CloseEverything(ui);
    }
    if (fds[0].revents & (POLLHUP | POLLERR)) CloseEverything(ui);
    ReadKeys(ui);
  }
  worker.join();
  endwin();
  sigaction(SIGTERM, &oldTerm, nullptr);
  sigaction(SIGHUP, &oldHup, nullptr);
  sigaction(SIGINT, &oldInt, nullptr);
  signalWakeFd = -1;
  SetMessageBoxHandler({});
  SetModelObserver({});
  close(ui.wakeFd[0]);
  close(ui.wakeFd[1]);
  return exitCode;
}

const char16_t* TerminalPlatformType(int columns) {
  const DialogTemplate* pocketPc = FindDialogTemplate(IDD_CONFIG);
  const int needed = pocketPc ? (pocketPc->width + 3) / 4 : 0;
  return columns < needed ? u"Smartphone" : u"PocketPC";
}

bool TakeInstanceLock() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string path = runtime && runtime[0] == '/'
                               ? std::string(runtime) + "/quarvel-config.lock"
                               : "/tmp/quarvel-config-" + std::to_string(getuid()) + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // Without a lock file to hold, running beside another instance beats not running.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // held until the process ends
  const bool heldByAnother = errno == EWOULDBLOCK;     // before close() may change errno
  close(fd);
  return !heldByAnother;
}
