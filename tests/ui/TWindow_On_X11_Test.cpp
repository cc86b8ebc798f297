// The real yeli-service on a real X server (Xvfb) while it writes firmware, seen by a small X client
// of its own in the place of a window manager: the window answers every _NET_WM_PING within 2 s, as
// a desktop requires before it offers to kill a window, and a close request sent during the update
// does not end the program before "Update firmware finish"; the program closes after it. The board
// is the virtual one, blank, so "Default firmware" is offered; a probe preloaded into the program
// clicks it. Everything runs in real time: the default image is 17 KiB, a few seconds at 115200 baud.
#include "support/TChild_Process.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {
constexpr auto PING_EVERY = 300ms;
constexpr auto PING_ANSWER_LIMIT = 2s;
constexpr auto CLOSE_AFTER_WRITING_BEGINS = 500ms;
constexpr auto UPDATE_LIMIT = 60s;
constexpr auto EXIT_LIMIT = 15s;
constexpr int XVFB_DISPLAY_FD = 3;

TReal_Point Now() { return std::chrono::steady_clock::now(); }

// An X server of its own on a display it chooses itself.
class TXvfb {
public:
  TXvfb() {
    int display[2];
    if (pipe2(display, O_CLOEXEC) != 0) return;
    TChild_Setup setup;
    setup.Arguments = {"Xvfb", "-displayfd", std::to_string(XVFB_DISPLAY_FD), "-screen", "0", "1600x900x24",
                       "-nolisten", "tcp"};
    setup.Stop_Signal = SIGTERM;
    setup.Pass_Fd = display[1];
    setup.Passed_As = XVFB_DISPLAY_FD;
    Server_.emplace(std::move(setup));
    close(display[1]);
    std::string number;
    pollfd readable{display[0], POLLIN, 0};
    char chunk[16];
    while (number.find('\n') == std::string::npos && poll(&readable, 1, 10'000) == 1) {
      const ssize_t got = read(display[0], chunk, sizeof chunk);
      if (got <= 0) break;
      number.append(chunk, static_cast<std::size_t>(got));
    }
    close(display[0]);
    if (number.find('\n') != std::string::npos) Display_ = ":" + number.substr(0, number.find('\n'));
  }

  // Why no display came, for the failure message.
  std::string Problem() {
    if (!Server_ || !Server_->Started()) return "Xvfb could not be started: is it installed (Debian package xvfb)?";
    return "Xvfb started but offered no display: " + Server_->Errors();
  }
  const std::string& Display() const { return Display_; }

private:
  std::optional<TChild_Process> Server_;
  std::string Display_;
};

// What a window manager does of the program's window: finds it, pings it, asks it to close.
class TWindow_Manager {
public:
  explicit TWindow_Manager(const std::string& display) : Connection_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(Connection_)) return;
    Root_ = xcb_setup_roots_iterator(xcb_get_setup(Connection_)).data->root;
    // Answers to pings come to the root window with these masks; a window manager selects them.
    const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(Connection_, Root_, XCB_CW_EVENT_MASK, &events);
    Protocols_ = Atom("WM_PROTOCOLS");
    Delete_Window_ = Atom("WM_DELETE_WINDOW");
    Ping_ = Atom("_NET_WM_PING");
    Pid_ = Atom("_NET_WM_PID");
    xcb_flush(Connection_);
  }
  ~TWindow_Manager() {
    for (xcb_generic_event_t* event : Events_) free(event);
    xcb_disconnect(Connection_);
  }
  TWindow_Manager(const TWindow_Manager&) = delete;
  TWindow_Manager& operator=(const TWindow_Manager&) = delete;

  bool Connected() const { return !xcb_connection_has_error(Connection_); }
  bool Mapped(xcb_window_t window) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(Connection_, xcb_get_window_attributes(Connection_, window), nullptr);
    const bool mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    free(attributes);
    return mapped;
  }

  // The mapped top-level window of process `pid`, or 0.
  xcb_window_t Window_Of(pid_t pid) {
    xcb_window_t found = 0;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(Connection_, xcb_query_tree(Connection_, Root_), nullptr);
    if (!tree) return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
      if (Mapped(children[i]) && Pid_Of(children[i]) == pid) found = children[i];
    free(tree);
    return found;
  }

  void Ping(xcb_window_t window, std::uint32_t serial) { Send(window, Ping_, serial); }
  void Ask_To_Close(xcb_window_t window) { Send(window, Delete_Window_, XCB_CURRENT_TIME); }

  // Blocks until the X server or `program` has sent something, or `until`. Events that came with
  // a reply are in xcb's queue already, where the socket no longer shows them.
  void Await(TChild_Process& program, TReal_Point until) {
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(Connection_)) Events_.push_back(event);
    if (Events_.empty()) program.Await(until, {xcb_get_file_descriptor(Connection_)});
  }

  // The serials of the ping answers that have come in since the last call; other events only tell
  // that something changed, and are dropped.
  std::vector<std::uint32_t> Ping_Answers() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(Connection_)) Events_.push_back(event);
    std::vector<std::uint32_t> serials;
    for (xcb_generic_event_t* event : Events_) {
      if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (message->window == Root_ && message->type == Protocols_ && message->data.data32[0] == Ping_)
          serials.push_back(message->data.data32[1]);
      }
      free(event);
    }
    Events_.clear();
    return serials;
  }

private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        Connection_, xcb_intern_atom(Connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return atom;
  }
  pid_t Pid_Of(xcb_window_t window) {
    xcb_get_property_reply_t* property = xcb_get_property_reply(
        Connection_, xcb_get_property(Connection_, 0, window, Pid_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t pid = 0;
    if (property && xcb_get_property_value_length(property) == 4)
      pid = static_cast<pid_t>(*static_cast<const std::uint32_t*>(xcb_get_property_value(property)));
    free(property);
    return pid;
  }
  // A WM_PROTOCOLS message, as ICCCM has a window manager send it: to the window's own client.
  void Send(xcb_window_t window, xcb_atom_t protocol, std::uint32_t argument) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Protocols_;
    message.data.data32[0] = protocol;
    message.data.data32[1] = argument;
    message.data.data32[2] = window;
    xcb_send_event(Connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(Connection_);
  }

  xcb_connection_t* Connection_;
  std::vector<xcb_generic_event_t*> Events_;  // taken from xcb, not yet looked at
  xcb_window_t Root_ = 0;
  xcb_atom_t Protocols_ = XCB_ATOM_NONE, Delete_Window_ = XCB_ATOM_NONE, Ping_ = XCB_ATOM_NONE, Pid_ = XCB_ATOM_NONE;
};

// The test's environment, for the program on `display` with the probe that clicks `button`. Leaks
// are the in-process tests' business; here a sanitizer build must not fail the exit for them.
std::vector<std::string> Program_Environment(const std::string& display, const char* button) {
  std::vector<std::string> variables;
  for (const std::string& text : Inherited_Environment()) {
    if (!text.starts_with("DISPLAY=") && !text.starts_with("QT_QPA_PLATFORM=") && !text.starts_with("LD_PRELOAD=") &&
        !text.starts_with("ASAN_OPTIONS="))
      variables.push_back(text);
  }
  const char* asan = std::getenv("ASAN_OPTIONS");
  variables.insert(variables.end(), {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "LD_PRELOAD=" YELI_CLICK_PROBE,
                                     std::string("YELI_PROBE_CLICK=") + button,
                                     std::string("ASAN_OPTIONS=") + (asan ? asan + std::string(":") : "") +
                                         "detect_leaks=0"});
  return variables;
}

std::string Tail(const std::string& text) {
  return text.substr(text.size() - std::min<std::size_t>(2000, text.size()));
}
}  // namespace

TEST(Window_On_X11, Answers_Pings_While_It_Writes_And_Holds_A_Close_Until_The_Update_Has_Finished) {
  TXvfb server;
  ASSERT_FALSE(server.Display().empty()) << server.Problem();
  TWindow_Manager manager(server.Display());
  ASSERT_TRUE(manager.Connected()) << "no connection to the X server on " << server.Display();
  TChild_Setup setup;
  setup.Arguments = {YELI_SERVICE, "--simulate=blank"};
  setup.Environment = Program_Environment(server.Display(), "Button4");
  TChild_Process program(std::move(setup));
  ASSERT_TRUE(program.Started()) << "cannot start " << YELI_SERVICE;

  xcb_window_t window = manager.Window_Of(program.Pid());
  for (const TReal_Point give_up = Now() + 20s; !window && Now() < give_up && program.Running();) {
    manager.Await(program, give_up);
    manager.Ping_Answers();  // none is awaited yet
    window = manager.Window_Of(program.Pid());
  }
  ASSERT_NE(window, 0u) << "the window did not appear: " << Tail(program.Errors());

  std::map<std::uint32_t, TReal_Point> pings;  // sent and not yet answered
  std::uint32_t serial = 0;
  auto longest_answer = 0ms, longest_while_writing = 0ms;
  TReal_Point next_ping = Now();
  std::optional<TReal_Point> writing_since, close_sent;
  const TReal_Point give_up = Now() + UPDATE_LIMIT;
  for (;;) {
    // Seen before its standard error is read: the program says "Update firmware finish" before it
    // may close, so a window gone or a program ended with the line still unread is a fault.
    const bool running = program.Running(), mapped = manager.Mapped(window);
    if (program.Said("program: Update firmware finish")) break;
    ASSERT_TRUE(running) << (close_sent ? "the close request ended the program during the update: "
                                        : "the program ended before the update had finished: ")
                         << Tail(program.Errors());
    ASSERT_TRUE(!close_sent || mapped) << "the close request closed the window during the update: "
                                       << Tail(program.Errors());
    ASSERT_LT(Now(), give_up) << "no \"Update firmware finish\" within " << UPDATE_LIMIT.count()
                              << " s: " << Tail(program.Errors());
    for (const std::uint32_t answered : manager.Ping_Answers()) {
      if (const auto sent = pings.find(answered); sent != pings.end()) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Now() - sent->second);
        longest_answer = std::max(longest_answer, took);
        if (writing_since && sent->second >= *writing_since)
          longest_while_writing = std::max(longest_while_writing, took);
        pings.erase(sent);
      }
    }
    for (const auto& [unanswered, sent] : pings)
      ASSERT_LT(Now() - sent, PING_ANSWER_LIMIT) << "ping " << unanswered << " unanswered for 2 s; the program log: "
                                                 << Tail(program.Errors());
    if (Now() >= next_ping) {
      manager.Ping(window, ++serial);
      pings[serial] = Now();
      next_ping += PING_EVERY;
    }
    if (!writing_since && program.Said("program: Update firmware")) writing_since = Now();
    if (writing_since && !close_sent && Now() - *writing_since >= CLOSE_AFTER_WRITING_BEGINS) {
      manager.Ask_To_Close(window);
      close_sent = Now();
    }
    TReal_Point wake = std::min(next_ping, give_up);
    if (writing_since && !close_sent) wake = std::min(wake, *writing_since + CLOSE_AFTER_WRITING_BEGINS);
    manager.Await(program, wake);
  }
  ASSERT_TRUE(close_sent) << "the update finished before the close request went out: " << Tail(program.Errors());
  std::printf("%u pings, the slowest answered after %lld ms; while the image was written after %lld ms\n", serial,
              static_cast<long long>(longest_answer.count()), static_cast<long long>(longest_while_writing.count()));

  program.Wait_Until([&program] { return !program.Running(); }, EXIT_LIMIT);
  EXPECT_EQ(program.Exit_Status(), 0) << "the held close request did not end the program after the update: "
                                       << Tail(program.Errors());
  const std::string& errors = program.Errors();
  EXPECT_NE(errors.find("program: Update firmware finish\nprogram: Chip disconnect\n"), std::string::npos)
      << Tail(errors);
}
