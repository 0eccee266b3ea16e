// Error, question and notice boxes, the debug log, and the text conversion the
// boxes are shown with.
#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"
#include "tests/scripted_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::headless::BoxLog;
using platform::headless::QueueBoxAnswer;

// Box-log lines are UTF-8, while narrow literals are CP932 at run time.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

class Boxes : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetMessages();
        platform::headless::ResetBoxes();
        platform::headless::SetClock(50000);
        ErrorFlag = 0;
        ShutDownDone = 0;
        FrameSeconds = 0.25f;
        LastFrameTime = 40000;
    }
};

TEST_F(Boxes, ErrorJoinsOperationAndMessageBeepsOnceAndLeavesTheTimer) {
    EXPECT_EQ(elSystem::Error("elDraw::LoadObject", "BMPファイルを読み込めません"), 0);
    EXPECT_EQ(
        BoxLog(),
        std::vector<std::string>{Utf8(
            u8R"(box "エラー発生" "elDraw::LoadObject : BMPファイルを読み込めません" -> ok)")});
    EXPECT_EQ(platform::headless::BeepCount(), 1);
    EXPECT_EQ(elSystem::HasError(), 1);
    EXPECT_EQ(FrameSeconds, 0.25f);
    EXPECT_EQ(LastFrameTime, 40000u);
}

TEST_F(Boxes, AskIsYesOnlyForAYesAndResetsTheTimer) {
    QueueBoxAnswer(IDYES);
    EXPECT_EQ(elSystem::Ask("%sを終了しますか？", "エディタ"), 1);
    EXPECT_EQ(FrameSeconds, 0.0f);
    EXPECT_EQ(LastFrameTime, 50000u);
    QueueBoxAnswer(IDNO);
    EXPECT_EQ(elSystem::Ask("no"), 0);
    EXPECT_EQ(elSystem::Ask("unanswered"), 0);
    QueueBoxAnswer(IDOK); // not a button of a yes/no box
    EXPECT_EQ(elSystem::Ask("ok"), 0);
    elSystem::Message("%d個", 3);
    EXPECT_EQ(BoxLog(), (std::vector<std::string>{
                            Utf8(u8R"(box "メッセージ" "エディタを終了しますか？\r\n" -> yes)"),
                            Utf8(u8R"(box "メッセージ" "no\r\n" -> no)"),
                            Utf8(u8R"(box "メッセージ" "unanswered\r\n" -> no)"),
                            Utf8(u8R"(box "メッセージ" "ok\r\n" -> no)"),
                            Utf8(u8R"(box "メッセージ" "3個\r\n" -> ok)")}));
    EXPECT_EQ(platform::headless::BeepCount(), 0);
    EXPECT_EQ(ErrorFlag, 0);
    EXPECT_EQ(BoxShown, 0);
}

TEST_F(Boxes, OverlongTextsAreCutToTheBufferAtACharacterBoundary) {
    // "X : " is 4 bytes, so a byte cut at 259 would split the 128th character.
    elSystem::Error("X", Repeat("あ", 200).c_str());
    // 1 + 2 * 128 = 257 bytes is the most Ask and Message may show.
    elSystem::Message("a%s", Repeat("あ", 200).c_str());
    elSystem::Message("%s", std::string(300, 'x').c_str());
    std::u8string joined = u8"X : ";
    for (int i = 0; i < 127; ++i) joined += u8"あ";
    std::u8string message = u8"a";
    for (int i = 0; i < 128; ++i) message += u8"あ";
    EXPECT_EQ(BoxLog(),
              (std::vector<std::string>{
                  Utf8(u8"box \"エラー発生\" \"") + Utf8(joined.c_str()) + "\" -> ok",
                  Utf8(u8"box \"メッセージ\" \"") + Utf8(message.c_str()) + "\\r\\n\" -> ok",
                  Utf8(u8"box \"メッセージ\" \"") + std::string(257, 'x') + "\\r\\n\" -> ok"}));
}

TEST_F(Boxes, QuitOnErrorShutsDownOnlyAfterAnError) {
    EXPECT_EQ(elSystem::QuitOnError(), 0);
    EXPECT_EQ(ShutDownDone, 0);
    elSystem::Error("elSystem::SetWait", "x");
    EXPECT_EQ(elSystem::QuitOnError(), 1);
    EXPECT_EQ(ShutDownDone, 1);
}

TEST(BoxTiming, TimeInAQuestionIsLeftOutOfTheNextFrameButTimeInAnErrorIsNot) {
    for (bool question : {true, false}) {
        int frames = 0;
        Script script;
        script
            .Do([&] {
                SceneHook = [&] {
                    if (++frames != 2) return;
                    platform::headless::AdvanceClock(10000); // the box stays open 10 s
                    if (question)
                        elSystem::Ask("?");
                    else
                        elSystem::Error("op", "message");
                };
            })
            .Frames(3, 16);
        script.Run();
        ASSERT_EQ(SceneFrames.size(), 3u);
        EXPECT_FLOAT_EQ(SceneFrames[2].frameSeconds, question ? 0.016f : 10.016f);
    }
}

TEST(DebugLog, EachCallAppendsOneLineEndingInCrLf) {
    fs::path old = fs::current_path();
    fs::path folder = fs::temp_directory_path() / ("tessera-log-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    EXPECT_EQ(elSystem::Log("%d行目", 1), 0);
    EXPECT_EQ(elSystem::Log("two"), 0);
    std::ifstream file("DEBUG.TXT", std::ios::binary);
    std::string written{std::istreambuf_iterator<char>(file), {}};
    fs::current_path(old);
    fs::remove_all(folder);
    EXPECT_EQ(written, "1行目\r\ntwo\r\n");
}

TEST(TextEncoding, InvalidCp932BecomesReplacementCharacters) {
    EXPECT_EQ(platform::Cp932ToUtf8("\x82\xa0\xb1\\~"), Utf8(u8"あｱ\\~"));
    EXPECT_EQ(platform::Cp932ToUtf8("\x81\x20z"), Utf8(u8"\uFFFD z"));
    EXPECT_EQ(platform::Cp932ToUtf8("\xFFz\x81"), Utf8(u8"\uFFFDz\uFFFD"));
}

} // namespace
