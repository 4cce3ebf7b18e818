#pragma once

// A virtual X desktop of its own for a test, started by scripts/x-desktop as for the e2e tests
// and scripts/run (Xvfb on a free display, LEFT 3440 x 1440 primary with the output and RIGHT
// 1920 x 1080 beside it, openbox, xcompmgr), and client programs on it. Every process it starts
// is ended with it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::test {

// Runs the event loop until the condition holds or the seconds are up.
inline bool pumpUntil(const std::function<bool()>& done, double seconds = 5.0) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

class XSession {
public:
    struct Options {
        bool windowManager = true;
        bool compositor = true;
    };

    // None when Xvfb cannot start here (the tests then skip), or, with failure set, when the
    // desktop on it did not come up.
    static std::unique_ptr<XSession> start(Options options, std::string* failure = nullptr) {
        std::unique_ptr<XSession> s(new XSession());
        auto fail = [&](const std::string& why) {
            if (failure) *failure = why + "; x-desktop said:\n" + s->log();
            return nullptr;
        };
        std::vector<std::string> argv{MARROWICK_X_DESKTOP, "--dir", (s->dir_ / "desktop").string()};
        if (!options.windowManager) argv.emplace_back("--no-window-manager");
        if (!options.compositor) argv.emplace_back("--no-compositor");
        switch (s->startDesktop(argv)) {
            case Started::noServer:
                return nullptr;
            case Started::noDesktop:
                return fail("the desktop did not come up on " + s->display_);
            case Started::ready:
                break;
        }
        s->conn_ = x11::Connection::open(s->display_);
        if (!s->conn_) return fail("no connection to the new Xvfb");
        return s;
    }

    ~XSession() {
        conn_.reset();
        // Clients first, then the desktop.
        auto children = children_;
        for (auto it = children.rbegin(); it != children.rend(); ++it) stop(*it);
        stopDesktop();
        std::error_code ec;
        // MARROWICK_X_LOG=file keeps what the programs printed, for a failing test.
        if (const char* keep = std::getenv("MARROWICK_X_LOG"))
            std::filesystem::copy_file(dir_ / "log", keep, std::filesystem::copy_options::overwrite_existing, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    [[nodiscard]] const std::string& display() const { return display_; }
    [[nodiscard]] pid_t serverPid() const { return serverPid_; }
    // The test's own connection to the server.
    [[nodiscard]] x11::Connection& connection() { return *conn_; }
    [[nodiscard]] xcb_connection_t* c() { return conn_->get(); }
    [[nodiscard]] xcb_window_t root() { return conn_->root(); }

    // Ends the X server (the window manager and compositor go with it) and waits until it is gone.
    void stopServer() {
        ::kill(serverPid_, SIGCONT);
        ::kill(serverPid_, SIGTERM);
        if (!waitFor([&] { return gone(serverPid_); }, 10)) ::kill(serverPid_, SIGKILL);
    }

    // Starts a program on this display; it is ended with the session.
    pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
        pid_t pid = launch(argv, env);
        if (pid > 0) children_.push_back(pid);
        return pid;
    }
    // Runs a program to its end (at most 20 seconds); answers its exit status.
    int run(const std::vector<std::string>& argv) {
        pid_t pid = launch(argv, {});
        if (pid <= 0) return -1;
        for (int i = 0; i < 2000; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stop(pid);
        return -1;
    }
    // The same with the event loop running meanwhile, so input reaches the services as it happens.
    int runPumping(const std::vector<std::string>& argv, double seconds = 20) {
        pid_t pid = launch(argv, {});
        if (pid <= 0) return -1;
        int status = 0;
        if (!pumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
            stop(pid);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Ends one program started with spawn.
    void stop(pid_t pid) {
        if (pid <= 0) return;
        ::kill(-pid, SIGCONT);
        ::kill(-pid, SIGTERM);
        for (int i = 0; i < 300; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) != 0) return forget(pid);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(-pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        forget(pid);
    }

    // The client window of a spawned program once it is mapped (and, under a manager, framed).
    std::optional<xcb_window_t> waitForClient(pid_t pid, double seconds = 10) {
        std::optional<xcb_window_t> found;
        waitFor(
            [&] {
                x11::WindowQueries q(*conn_, x11::deadlineIn(1));
                bool managed = q.windowManagerRunning();
                auto clients = q.clients();
                auto pids = q.pids(clients);
                for (std::size_t i = 0; i < clients.size(); ++i) {
                    if (pids[i] != pid || (managed && q.wmState(clients[i]) != 1u)) continue;
                    if (managed && !conn_->property32(clients[i], conn_->atoms().netFrameExtents, x11::deadlineIn(1)))
                        continue;
                    found = clients[i];
                    return true;
                }
                return false;
            },
            seconds);
        return found;
    }
    // Starts an xterm with that geometry and answers its client window.
    std::optional<xcb_window_t> xterm(const std::string& geometry, pid_t* pidOut = nullptr) {
        // cat ends when the terminal goes away (a sleep may outlive its xterm).
        pid_t pid = spawn({"xterm", "-geometry", geometry, "-e", "cat"});
        if (pidOut) *pidOut = pid;
        return waitForClient(pid);
    }

    // Polls (with the event loop running) until the condition holds.
    static bool waitFor(const std::function<bool()>& done, double seconds = 10) { return pumpUntil(done, seconds); }

    // Input through XTest, as a real device would send it (raw events included).
    void motion(int x, int y) { fake(XCB_MOTION_NOTIFY, 0, x, y); }
    void button(bool press, int number = 1) { fake(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, number, 0, 0); }
    void key(bool press, xcb_keysym_t sym) { fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(sym), 0, 0); }
    xcb_keycode_t keycode(xcb_keysym_t sym) {
        const xcb_setup_t* setup = xcb_get_setup(c());
        auto r = conn_->await<xcb_get_keyboard_mapping_reply_t>(
            xcb_get_keyboard_mapping(c(), setup->min_keycode,
                                     static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1)),
            x11::deadlineIn(2));
        if (!r) return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r.get());
        int n = xcb_get_keyboard_mapping_keysyms_length(r.get());
        for (int i = 0; i < n; ++i)
            if (syms[i] == sym) return static_cast<xcb_keycode_t>(setup->min_keycode + i / r->keysyms_per_keycode);
        return 0;
    }
    // Waits until the server has handled everything sent so far.
    void sync() {
        std::free(conn_->await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(c()), x11::deadlineIn(2)).release());
    }

private:
    XSession() {
        char tmpl[] = "/tmp/marrowick-xsession-XXXXXX";
        if (char* d = mkdtemp(tmpl)) dir_ = d;
        std::filesystem::create_directories(dir_ / "config");
    }

    enum class Started { ready, noServer, noDesktop };

    // Runs scripts/x-desktop and reads what it reports until the desktop is ready.
    Started startDesktop(const std::vector<std::string>& argv) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return Started::noServer;
        // The desktop goes away with this process, however it ends.
        desktopPid_ = launch(argv, {}, fds[1], SIGTERM);
        ::close(fds[1]);
        if (desktopPid_ <= 0) {
            ::close(fds[0]);
            return Started::noServer;
        }
        std::string said, line;
        pollfd p{fds[0], POLLIN, 0};
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        Started result = Started::noServer;
        while (std::chrono::steady_clock::now() < end && ::poll(&p, 1, 1000) >= 0) {
            if (p.revents == 0) continue;
            char ch = 0;
            if (::read(fds[0], &ch, 1) != 1) break;
            if (ch != '\n') {
                line += ch;
                continue;
            }
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word == "display") {
                words >> display_;
                result = Started::noDesktop;
            } else if (word == "xvfb") {
                words >> serverPid_;
            } else if (word == "ready") {
                result = Started::ready;
                break;
            }
            line.clear();
        }
        ::close(fds[0]);
        return result;
    }

    void stopDesktop() {
        if (desktopPid_ <= 0) return;
        ::kill(-desktopPid_, SIGCONT);
        ::kill(desktopPid_, SIGTERM);
        for (int i = 0; i < 1500; ++i) {
            if (waitpid(desktopPid_, nullptr, WNOHANG) != 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(-desktopPid_, SIGKILL);
        waitpid(desktopPid_, nullptr, 0);
    }

    // A process that has ended, reaped or not (the desktop reaps the server).
    static bool gone(pid_t pid) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string pidField, name, state;
        return !(stat >> pidField >> name >> state) || state == "Z";
    }

    std::string log() const {
        std::ifstream in(dir_ / "log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Starts a program in a process group of its own, its output in the log; stdoutFd, when given,
    // becomes its standard output, and parentDeath the signal it gets when this process ends.
    pid_t launch(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdoutFd = -1,
                 int parentDeath = 0) {
        std::string log = (dir_ / "log").string();
        // Everything the child needs is made before the fork: it only calls exec-safe functions.
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).rfind("DISPLAY=", 0) != 0) environment.emplace_back(*e);
        if (!display_.empty()) environment.push_back("DISPLAY=" + display_);
        environment.insert(environment.end(), env.begin(), env.end());
        std::vector<char*> envp;
        for (auto& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> copy = argv;
        std::vector<char*> args;
        for (auto& a : copy) args.push_back(a.data());
        args.push_back(nullptr);
        const pid_t parent = getpid();
        pid_t pid = fork();
        if (pid != 0) return pid;
        // The child: a process group of its own so that its helpers end with it.
        setpgid(0, 0);
        if (parentDeath != 0 && (prctl(PR_SET_PDEATHSIG, parentDeath) != 0 || getppid() != parent)) _exit(127);
        // Signal masks and ignored signals survive exec: give the program the defaults.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int sig = 1; sig < NSIG; ++sig) signal(sig, SIG_DFL);
        int in = ::open("/dev/null", O_RDONLY);
        int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(in, 0);
        dup2(stdoutFd >= 0 ? stdoutFd : out, 1);
        dup2(out, 2);
        for (int fd = 3; fd < 1024; ++fd) ::close(fd);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }

    void fake(std::uint8_t type, int detail, int x, int y) {
        xcb_test_fake_input(c(), type, static_cast<std::uint8_t>(detail), XCB_CURRENT_TIME, root(),
                            static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
        sync();
    }

    void forget(pid_t pid) { std::erase(children_, pid); }

    std::filesystem::path dir_;
    std::string display_;
    pid_t serverPid_ = 0;
    pid_t desktopPid_ = 0;
    std::vector<pid_t> children_;
    std::unique_ptr<x11::Connection> conn_;
};

}  // namespace marrowick::test
