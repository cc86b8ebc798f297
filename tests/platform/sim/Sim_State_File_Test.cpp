// A board kept in a state file: loaded at start when the file exists, saved after every change,
// and never left broken.
#include "TSim_Host.h"
#include "platform/sim/Sim_Kept_Boards.h"
#include "platform/sim/Sim_State_File.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace std::chrono_literals;

namespace {
struct TState_File : testing::Test {
  std::filesystem::path Folder = std::filesystem::temp_directory_path() /
                                 ("yeli_sim_state_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                  "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::path File = Folder / "board.state";
  TVirtual_Clock Clock;
  std::vector<std::string> Problems;

  void SetUp() override { std::filesystem::create_directories(Folder); }
  void TearDown() override { std::filesystem::remove_all(Folder); }

  TSim_Board* Attach(TSim_Bus& bus, TSim_Factory_State state, std::string& error, std::uint8_t part = SIM_PART_CP2102) {
    return Attach_Board(bus, Factory_Setup(state, part), File.string(),
                        [this](const std::string& problem) { Problems.push_back(problem); }, error);
  }
  void Write_File(const std::string& text) { std::ofstream(File) << text; }
};
}  // namespace

TEST_F(TState_File, Flash_Settings_And_Product_Id_Outlive_The_Run) {
  {
    TSim_Bus bus(Clock);
    std::string error;
    TSim_Board* board = Attach(bus, SIM_FACTORY_VCP, error);
    ASSERT_TRUE(board) << error;
    EXPECT_TRUE(std::filesystem::exists(File));  // written at once

    // Product id through the manufacturing view; a setting stored with 96; a flash page erased.
    CP210x_HANDLE handle = 0;
    std::uint32_t count = 0;
    bus.Manufacturing().Get_Num_Devices(count);
    bus.Manufacturing().Open(0, handle);
    bus.Manufacturing().Set_Pid(handle, 0xEA61);
    bus.Manufacturing().Reset(handle);
    Clock.Sleep(2s);
    const TSim_Session session = *board->Open(SIM_VIEW_USBXPRESS);
    board->Set_Lines(session, {});  // the open held the chip in reset
    Clock.Sleep(10ms);
    board->Set_Baud_Rate(session, 38400);
    board->Set_Line_Control(session, HOST_8N1);
    const TBytes edit_and_store = {0xFF, 0x00, 17, 0x02, 0x22, 0xFF, 0x01, 96};
    board->Write(session, edit_and_store);
    Clock.Sleep(50ms);
    board->Set_Line_Control(session, HOST_8E1);
    board->Set_Lines(session, {true, true});
    board->Set_Lines(session, {false, true});
    Clock.Sleep(10ms);
    const TBytes erase_page_15 = {0x7F, 0x43, 0xBC, 0x00, 0x0F, 0x0F};
    board->Write(session, erase_page_15);
    Clock.Sleep(50ms);
    EXPECT_EQ(board->Flash(0x08003C00, 1), TBytes{0xFF});  // the board catches up when it is called
  }
  TSim_Bus bus(Clock);
  std::string error;
  TSim_Board* board = Attach(bus, SIM_FACTORY_VCP, error);
  ASSERT_TRUE(board) << error;
  EXPECT_EQ(board->Identity().Pid, 0xEA61);
  EXPECT_EQ(board->Identity().Product, "CP2102 USB to UART Bridge Controller");
  EXPECT_EQ(board->Stored_Settings().at(17), 0x0222);
  EXPECT_EQ(board->Flash(0x08003C00, 1024), TBytes(1024, 0xFF));
  const TBytes image = Application_Image(2, 3);
  EXPECT_EQ(board->Flash(0x08000000, 16), TBytes(image.begin(), image.begin() + 16));
  EXPECT_TRUE(Problems.empty());
  for (const auto& entry : std::filesystem::directory_iterator(Folder))
    EXPECT_EQ(entry.path().filename(), "board.state");  // no temporary file left behind
}

// The boards of one run share one file, a section each; a file of one board starts the first, and a
// section beyond the boards attached is kept as it was.
TEST_F(TState_File, Several_Boards_Keep_Their_Own_Sections_In_One_File) {
  const auto attach = [this](TSim_Bus& bus, unsigned count) {
    std::vector<TSim_Board_Setup> setups;
    for (unsigned unit = 1; unit <= count; ++unit) setups.push_back(Factory_Setup(SIM_FACTORY_VCP, SIM_PART_CP2102, unit));
    std::string error;
    const std::vector<TSim_Board*> boards = Attach_Boards(bus, std::move(setups), File.string(), {}, error);
    EXPECT_EQ(boards.size(), count) << error;
    return boards;
  };
  const auto switch_board = [](TSim_Bus& bus, std::uint32_t index) {
    std::uint32_t count = 0;
    CP210x_HANDLE handle = 0;
    bus.Manufacturing().Get_Num_Devices(count);
    bus.Manufacturing().Open(index, handle);
    EXPECT_EQ(bus.Manufacturing().Set_Pid(handle, 0xEA61), CP210x_SUCCESS);
  };
  Write_File("yeli-sim board state 1\npid EA61\nsetting 16 333\n");  // kept before several boards were
  {
    TSim_Bus bus(Clock);
    const auto boards = attach(bus, 3);
    ASSERT_EQ(boards.size(), 3u);
    EXPECT_EQ(boards[0]->Stored_Pid(), 0xEA61);
    EXPECT_EQ(boards[0]->Stored_Settings().at(16), 333);
    EXPECT_EQ(boards[1]->Stored_Pid(), 0xEA60);
    switch_board(bus, 2);
  }
  {
    TSim_Bus bus(Clock);
    const auto boards = attach(bus, 2);
    ASSERT_EQ(boards.size(), 2u);
    EXPECT_EQ(boards[0]->Stored_Pid(), 0xEA61);
    EXPECT_EQ(boards[1]->Stored_Pid(), 0xEA60);
    switch_board(bus, 1);
  }
  TSim_Bus bus(Clock);
  const auto boards = attach(bus, 3);
  ASSERT_EQ(boards.size(), 3u);
  for (TSim_Board* board : boards) EXPECT_EQ(board->Stored_Pid(), 0xEA61);
  EXPECT_EQ(boards[0]->Stored_Settings().at(16), 333);
  EXPECT_NE(boards[2]->Stored_Settings().at(16), 333);
}

// The CP2104's one write of its product id is spent for good, also in the next run.
TEST_F(TState_File, A_CP2104_Refuses_A_Second_Product_Id_In_The_Next_Run) {
  const auto set_pid = [](TSim_Bus& bus, std::uint16_t pid) {
    std::uint32_t count = 0;
    CP210x_HANDLE handle = 0;
    bus.Manufacturing().Get_Num_Devices(count);
    bus.Manufacturing().Open(0, handle);
    return bus.Manufacturing().Set_Pid(handle, pid);
  };
  std::string error;
  {
    TSim_Bus bus(Clock);
    ASSERT_TRUE(Attach(bus, SIM_FACTORY_VCP, error, SIM_PART_CP2104)) << error;
    EXPECT_EQ(set_pid(bus, 0xEA61), CP210x_SUCCESS);
  }
  std::ifstream in(File);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("pid EA61\npid-programmed\n"), std::string::npos) << text;
  TSim_Bus bus(Clock);
  TSim_Board* board = Attach(bus, SIM_FACTORY_VCP, error, SIM_PART_CP2104);
  ASSERT_TRUE(board) << error;
  EXPECT_NE(set_pid(bus, 0xEA60), CP210x_SUCCESS);
  EXPECT_EQ(board->Stored_Pid(), 0xEA61);
}

TEST_F(TState_File, Saving_Writes_Only_The_Flash_Rows_That_Are_Not_Erased_And_Reads_Them_Back) {
  TSim_Persistent_State state{0xEA60, TBytes(SIM_FLASH_SIZE, 0xFF), Factory_Settings()};
  state.Flash[0x20] = 0x12;
  state.Flash[SIM_FLASH_SIZE - 1] = 0x00;
  state.Settings[85] = 60000;
  ASSERT_EQ(Save_Board_States(File, {&state, 1}), "");
  std::ifstream in(File);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("pid EA60\n"), std::string::npos);
  EXPECT_NE(text.find("setting 85 60000\n"), std::string::npos);
  EXPECT_NE(text.find("flash 08000020 12FFFF"), std::string::npos);
  EXPECT_NE(text.find("flash 0801FFE0 FFFF"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 23 + 2);

  std::vector<TSim_Persistent_State> states = {{0xEA61, TBytes(SIM_FLASH_SIZE, 0xFF), Factory_Settings()}};
  ASSERT_EQ(Load_Board_States(File, states), "");
  ASSERT_EQ(states.size(), 1u);
  const TSim_Persistent_State& loaded = states[0];
  EXPECT_EQ(loaded.Pid, state.Pid);
  EXPECT_EQ(loaded.Flash, state.Flash);
  EXPECT_EQ(loaded.Settings, state.Settings);
}

// A file that cannot be read is reported with its line and left as it is; nothing is attached.
TEST_F(TState_File, A_Broken_File_Is_Refused_And_Kept) {
  const std::pair<std::string, std::string> cases[] = {
      {"something else\n", "board.state:1: not a board state file"},
      {"yeli-sim board state 1\nsetting 16 200\n", "board.state: no 'pid' line"},
      {"yeli-sim board state 1\npid EA6G\n", "board.state:2: 'pid' needs a product id of up to four hexadecimal digits"},
      {"yeli-sim board state 1\npid EA61\nsetting 16 70000\n",
       "board.state:3: 'setting' needs a parameter id and a value from 0 to 65535"},
      {"yeli-sim board state 1\npid EA61\nsetting 48 1\n", "board.state:3: parameter 48 is no setting"},
      {"yeli-sim board state 1\npid EA61\nflash 0801FFF0 " + std::string(64, '0') + "\n",
       "board.state:3: the row does not lie within flash"},
      {"yeli-sim board state 1\npid EA61\nflash 08000000 0\n",
       "board.state:3: 'flash' needs an address and 1 to 32 bytes in hexadecimal"},
      {"yeli-sim board state 1\npid EA61\nfuse 1\n", "board.state:3: unknown entry 'fuse'"},
      {"yeli-sim board state 1\npid EA61\n\x1b]0;owned\x07\n", "board.state:3: unknown entry '\\x1B]0;owned\\x07'"},
      {"yeli-sim board state 1\npid EA61\npid-programmed yes\n",
       "board.state:3: 'pid-programmed' takes nothing after it"},
      {"yeli-sim board state 1\npid EA61\nboard 3\npid EA61\n", "board.state:3: the next section must be 'board 2'"},
      {"yeli-sim board state 1\npid EA61\nboard 2\nsetting 16 1\n", "board.state: no 'pid' line for board 2"},
      {"yeli-sim board state 1\nsetting 16 1\nboard 2\npid EA61\n", "board.state: no 'pid' line"},
  };
  for (const auto& [text, problem] : cases) {
    Write_File(text);
    TSim_Bus bus(Clock);
    std::string error;
    EXPECT_EQ(Attach(bus, SIM_FACTORY_USBXPRESS, error), nullptr) << text;
    EXPECT_EQ(error, (Folder / problem).string()) << text;
    EXPECT_EQ(bus.Board_Count(), 0u);
    std::ifstream in(File);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), text);
  }
}

// Another program sharing the file, or another user, may have a file or a link at a name the writer
// could pick; neither is written through.
TEST_F(TState_File, A_Link_Planted_Beside_The_File_Leads_Nowhere) {
  const std::filesystem::path victim = Folder / "victim";
  std::ofstream(victim) << "precious";
  std::filesystem::create_symlink(victim, Folder / "board.state.tmp");
  TSim_Bus bus(Clock);
  std::string error;
  ASSERT_TRUE(Attach(bus, SIM_FACTORY_USBXPRESS, error)) << error;
  std::ifstream in(victim);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(File));
}

TEST_F(TState_File, A_File_That_Cannot_Be_Written_Is_Refused_At_Start) {
  File = Folder / "missing" / "board.state";
  TSim_Bus bus(Clock);
  std::string error;
  EXPECT_EQ(Attach(bus, SIM_FACTORY_USBXPRESS, error), nullptr);
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}
