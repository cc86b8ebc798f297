#include "cli/Run_On_Boards.h"

#include "cli/TBoards_Display.h"
#include "platform/Printable_Text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <sstream>
#include <system_error>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr auto DISPLAY_PERIOD = 100ms;  // how often the waiting thread redraws the progress

// One board's work and all that belongs to it alone.
struct TBoard_Slot {
  TSelected_Board Board;
  std::unique_ptr<TBridges> View;
  TBoard_Status Status;
  TBoard_Record Record;
  std::ostringstream Out;
  std::ostringstream Err;
  int Exit = EXIT_DONE;
  std::string Failure;
  std::atomic<bool> Ended{false};
};

std::string Prefixed(const std::string& text, const std::string& prefix) {
  std::string lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines += prefix + line + '\n';
  return lines;
}

// Appends the record of `slot`'s board to `report`, if any; a record that cannot be appended fails a
// board that was done, and is told on `err` for one that had failed already.
void Record_End(TBoard_Slot& slot, const TReport_File* report, std::ostream& err) {
  slot.Record.Done = slot.Exit == EXIT_DONE;
  slot.Record.Failure = slot.Failure;
  if (!report) return;
  const int error = report->Append(Record_Line(slot.Record, std::chrono::system_clock::now()));
  if (error == 0) return;
  const std::string lost = "its record could not be appended to " + report->Path().string() + ": " + std::strerror(error);
  if (slot.Exit != EXIT_DONE) {
    err << "yeli-cli: " << lost << '\n';
    return;
  }
  slot.Exit = EXIT_DEVICE;
  slot.Failure = "done, but " + lost;
}

// Runs the work in `board`, recording its end; the failure, if any, in `slot`.
void Work_On(const TBoard_Work& work, TCli_Context& board, TBoard_Slot& slot, const TReport_File* report) {
  const TDuration start = board.Clock.Now();
  try {
    work(board);
  } catch (const TCli_Failure& failure) {
    slot.Exit = failure.Status;
    slot.Failure = failure.Message;
  } catch (const std::exception& failure) {
    slot.Exit = EXIT_DEVICE;
    slot.Failure = failure.what();
  }
  slot.Record.Seconds = std::chrono::duration<double>(board.Clock.Now() - start).count();
  Record_End(slot, report, board.Err);
}

TCli_Context Board_Context(const TCli_Context& context, TBoard_Slot& slot, std::ostream& out, std::ostream& err,
                           bool terminal, TBoard_Status* status) {
  return TCli_Context{context.Options,
                      context.Arguments,
                      context.Clock,
                      out,
                      err,
                      terminal,
                      [&slot]() -> TBridges& { return *slot.View; },
                      context.Check_Setup,
                      context.Stop,
                      status,
                      &slot.Record};
}

void Start_Record(TBoard_Slot& slot, const std::string& command) {
  slot.Record.Command = command;
  slot.Record.Usb_Path = slot.Board.Usb_Path;
  slot.Record.Serial_Number = slot.Board.Serial_Number;
  slot.Record.Serial_Device = slot.Board.Serial_Device;
}

// The whole of a single board's run on this thread; the command's own search finds it when `boards`
// is empty.
void Run_On_One(TCli_Context& context, const std::string& command, const TBoard_Work& work,
                const std::vector<TSelected_Board>& boards, const TReport_File* report) {
  TBoard_Slot slot;
  if (!boards.empty()) {
    slot.Board = boards.front();
    slot.View = context.Bridges().One_Bridge(slot.Board.Usb_Path);
  }
  Start_Record(slot, command);
  TCli_Context board = Board_Context(context, slot, context.Out, context.Err, context.Err_Is_Terminal, nullptr);
  if (!slot.View) board.Bridges = context.Bridges;
  Work_On(work, board, slot, report);
  if (slot.Exit != EXIT_DONE) Fail(slot.Exit, slot.Failure);
}

// Each board's output, then its failure, after its USB path; and which boards failed.
int Print_Ends(TCli_Context& context, const std::string& command, std::vector<std::unique_ptr<TBoard_Slot>>& slots) {
  int status = EXIT_DONE;
  std::size_t done = 0;
  std::string failed;
  for (const auto& slot : slots) {
    const std::string label = Printable_Text(slot->Board.Usb_Path);
    context.Out << Prefixed(slot->Out.str(), label + ": ");
    context.Err << Prefixed(slot->Err.str(), label + ": ");
    if (slot->Exit == EXIT_DONE) {
      ++done;
      continue;
    }
    context.Err << "yeli-cli: " << command << ": " << label << ": " << slot->Failure << '\n';
    failed += (failed.empty() ? "" : ", ") + label;
    status = slot->Exit == EXIT_STOPPED || status == EXIT_STOPPED ? EXIT_STOPPED : EXIT_DEVICE;
  }
  context.Err << "yeli-cli: " << command << ": " << done << " of " << slots.size() << " boards done"
              << (failed.empty() ? "" : "; failed: " + failed) << '\n';
  return status;
}
}  // namespace

int Run_On_Boards(TCli_Context& context, const std::string& command, const TBoard_Work& work,
                  const std::vector<TSelected_Board>& boards, const TReport_File* report) {
  if (!context.Options.Many_Boards()) {
    Run_On_One(context, command, work, boards, report);
    return EXIT_DONE;
  }

  std::vector<std::unique_ptr<TBoard_Slot>> slots;
  std::vector<TBoards_Display::TBoard> shown;
  for (const TSelected_Board& board : boards) {
    auto slot = std::make_unique<TBoard_Slot>();
    slot->Board = board;
    slot->View = context.Bridges().One_Bridge(board.Usb_Path);
    Start_Record(*slot, command);
    shown.push_back({Printable_Text(board.Usb_Path), &slot->Status});
    slots.push_back(std::move(slot));
  }
  TBoards_Display display(context.Err, context.Progress_Style(), std::move(shown));

  // Each worker counts as a thread of the clock from before it starts until its last use of it, so
  // that a virtual clock moves on only while every board waits.
  std::vector<std::thread> workers;
  for (const auto& slot : slots) {
    context.Clock.Thread_Starting();
    try {
      workers.emplace_back([&context, &work, report, board = slot.get()] {
        TCli_Context own = Board_Context(context, *board, board->Out, board->Err, false, &board->Status);
        Work_On(work, own, *board, report);
        board->Status.Set_Phase(board->Exit == EXIT_DONE ? "done" : "failed");
        board->View.reset();  // closes its tty now, not when the last board ends
        board->Ended = true;
        context.Clock.Thread_Ended();
      });
    } catch (const std::system_error& failure) {
      slot->Exit = EXIT_DEVICE;
      slot->Failure = std::string("its worker could not be started: ") + failure.what();
      Record_End(*slot, report, slot->Err);
      slot->Ended = true;
      context.Clock.Thread_Ended();
    }
  }
  const auto all_ended = [&] {
    return std::all_of(slots.begin(), slots.end(), [](const auto& slot) { return slot->Ended.load(); });
  };
  for (display.Draw(); !all_ended(); display.Draw()) context.Clock.Sleep(DISPLAY_PERIOD);
  for (std::thread& worker : workers) worker.join();
  return Print_Ends(context, command, slots);
}
