// Draw packs: building them from BMP files, loading and swapping their images,
// reloading pack objects after lost surfaces, and refusing damaged packs.
#include "draw/draw.h"
#include "platform/files/files.h"
#include "platform/formats/bmp.h"
#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"
#include "system/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

std::string ErrorBox(const char* operation, const char* message) {
    return "box \"" + platform::Cp932ToUtf8("エラー発生") + "\" \"" + operation + " : " +
           platform::Cp932ToUtf8(message) + "\" -> ok";
}

std::string LastBox() {
    const auto& log = platform::headless::BoxLog();
    return log.empty() ? "" : log.back();
}

// One record: width, height, name with its NUL, pixels.
Bytes Record(std::uint16_t width, std::uint16_t height, const std::string& name,
             const std::vector<std::uint16_t>& pixels) {
    Bytes bytes;
    for (std::uint16_t word : {width, height}) {
        bytes.push_back(static_cast<unsigned char>(word));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
    for (char c : name) bytes.push_back(static_cast<unsigned char>(c));
    bytes.push_back(0);
    for (std::uint16_t p : pixels) {
        bytes.push_back(static_cast<unsigned char>(p));
        bytes.push_back(static_cast<unsigned char>(p >> 8));
    }
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::ResetBoxes();
        platform::headless::UseFormat555(false);
        elDraw::KeyColor(0);
        folder = "pk" + std::to_string(getpid());
        root = fs::path(elSystem::ProgramFolder(0));
        fs::create_directories(root / folder);
        elDraw::PackPath[0] = '\0';
    }
    void TearDown() override {
        elDraw::Quit();
        platform::headless::UseFormat555(false);
        fs::remove_all(root / folder);
    }
    void OpenScreen(int depth) {
        elDraw::Quit();
        elDraw::SetDepths(depth, 0, 0);
        ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    }
    // Pixels are 0x00RRGGBB.
    void WriteImage(const std::string& file, std::vector<std::uint32_t> pixels, int width) {
        platform::DecodedImage image;
        image.width = width;
        image.height = static_cast<int>(pixels.size()) / width;
        image.pixels = std::move(pixels);
        platform::WriteBmp24((root / folder / file).string(), image);
    }
    // The pack lives in the test's folder, named relative to the program folder.
    std::string PackName() const { return folder + "\\p.dat"; }
    void WritePack(const Bytes& bytes) {
        std::ofstream out(root / folder / "p.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        elDraw::SetPackFile(PackName().c_str());
    }
    Bytes ReadPack() const {
        std::ifstream in(root / folder / "p.dat", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static std::uint32_t Pixel(ObjectNo no, int x, int y = 0) {
        const platform::Surface* s = elDraw::ObjectTable[no].Surface;
        std::uint32_t value = 0;
        std::memcpy(&value, s->memory.data() + y * s->pitch + x * s->format.bits / 8,
                    static_cast<std::size_t>(s->format.bits / 8));
        return value;
    }
    static int TakenEntries() {
        int taken = 0;
        for (const ObjectEntry& entry : elDraw::ObjectTable) taken += entry.Name[0] != '\0';
        return taken;
    }
    std::string folder;
    fs::path root;
};

TEST_F(PackTest, ConvertWritesRecordsByteForByte) {
    OpenScreen(32);
    WriteImage("a.bmp", {0xFFFFFF, 0x000000}, 2);
    // Near-black colours keep a blue of 1, so that only black is transparent.
    WriteImage("Dark.Bmp", {0x070707, 0x000008, 0x000800, 0x080000}, 4);
    WriteImage("note.txt", {0xFFFFFF}, 1);
    fs::create_directory(root / folder / "dir.bmp");
    ASSERT_EQ(elDraw::Convert(PackName().c_str(), folder.c_str(), 1), 1);
    EXPECT_EQ(ReadPack(), Record(2, 1, "A.BMP", {0x7FFF, 0x0000}) +
                              Record(4, 1, "DARK.BMP", {0x0001, 0x0001, 0x0020, 0x0400}));
    EXPECT_TRUE(platform::headless::BoxLog().empty());
    EXPECT_EQ(TakenEntries(), 4); // every image was released again
}

TEST_F(PackTest, ConvertNeedsMoreThanSixteenBits) {
    OpenScreen(16);
    WriteImage("a.bmp", {0xFFFFFF}, 1);
    EXPECT_EQ(elDraw::Convert(PackName().c_str(), folder.c_str(), 1), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::Convert", "画面をフルカラーにして下さい"));
    EXPECT_FALSE(fs::exists(root / folder / "p.dat"));
}

TEST_F(PackTest, AppendedCopiesAndTheFirstWins) {
    OpenScreen(32);
    WriteImage("a.bmp", {0xFFFFFF}, 1);
    ASSERT_EQ(elDraw::Convert(PackName().c_str(), folder.c_str(), 1), 1);
    WriteImage("a.bmp", {0xFF0000}, 1);
    ASSERT_EQ(elDraw::Convert(PackName().c_str(), folder.c_str(), 0), 1);
    EXPECT_EQ(ReadPack(), Record(1, 1, "A.BMP", {0x7FFF}) + Record(1, 1, "A.BMP", {0x7C00}));

    OpenScreen(16);
    elDraw::SetPackFile(PackName().c_str());
    ObjectNo no = elDraw::LoadPack("A.BMP", 2);
    ASSERT_EQ(no, 4);
    EXPECT_EQ(Pixel(no, 0), 0xFFDFu);

    // A fresh build starts over.
    OpenScreen(32);
    ASSERT_EQ(elDraw::Convert(PackName().c_str(), folder.c_str(), 1), 1);
    EXPECT_EQ(ReadPack(), Record(1, 1, "A.BMP", {0x7C00}));
}

TEST_F(PackTest, LoadConvertsToTheDisplaysFormat) {
    const Bytes pack = Record(3, 1, "A.BMP", {0x7FFF, 0x0001, 0x7C00});
    OpenScreen(16);
    WritePack(pack);
    ObjectNo no = elDraw::LoadPack("a.bmp", 1); // names are found in any case
    ASSERT_EQ(no, 4);
    EXPECT_EQ(Pixel(no, 0), 0xFFDFu); // 5:6:5, green's lowest bit stays 0
    EXPECT_EQ(Pixel(no, 1), 0x0001u);
    EXPECT_EQ(Pixel(no, 2), 0xF800u);
    const ObjectEntry& entry = elDraw::ObjectTable[no];
    EXPECT_STREQ(entry.Name, "A.BMP");
    EXPECT_EQ(entry.FromPack, 1);
    EXPECT_EQ(entry.Placement, 2);
    EXPECT_EQ(entry.Width, 3);
    EXPECT_EQ(entry.Height, 1);
    EXPECT_EQ(entry.KeyColor, 0);
    EXPECT_EQ(entry.Surface->keyLow, 0u);
    EXPECT_EQ(TakenEntries(), 5); // the temporary object is gone

    platform::headless::UseFormat555(true);
    OpenScreen(16);
    elDraw::SetPackFile(PackName().c_str());
    no = elDraw::LoadPack("A.BMP", 2);
    EXPECT_EQ(Pixel(no, 0), 0x7FFFu);
    EXPECT_EQ(Pixel(no, 2), 0x7C00u);

    OpenScreen(32);
    elDraw::SetPackFile(PackName().c_str());
    no = elDraw::LoadPack("A.BMP", 2);
    EXPECT_EQ(Pixel(no, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(no, 1), 0x000008u);
    EXPECT_TRUE(platform::headless::BoxLog().empty());
}

TEST_F(PackTest, UpperCasingLeavesTwoByteCharactersAlone) {
    // The second byte of this character is the code of 'a'; upper-casing it
    // would name another character.
    const std::string twoByte = "\x83\x61";
    OpenScreen(16);
    WritePack(Record(1, 1, "X" + twoByte + "Z.BMP", {0x001F}));
    ObjectNo no = elDraw::LoadPack(("x" + twoByte + "z.bmp").c_str(), 2);
    ASSERT_EQ(no, 4);
    EXPECT_EQ(Pixel(no, 0), 0x001Fu);
}

TEST_F(PackTest, SwapReplacesTheImageInItsEntry) {
    OpenScreen(16);
    WritePack(Record(1, 1, "ONE.BMP", {0x7C00}) + Record(2, 2, "TWO.BMP", {1, 2, 3, 4}));
    ObjectNo one = elDraw::LoadPack("one.bmp", 2);
    ObjectNo made = elDraw::CreateObject(5, 5, 2);
    ASSERT_EQ(one, 4);
    EXPECT_EQ(elDraw::SwapPack("two.bmp", one, 2), one);
    const ObjectEntry& entry = elDraw::ObjectTable[one];
    EXPECT_STREQ(entry.Name, "TWO.BMP");
    EXPECT_EQ(entry.Width, 2);
    EXPECT_EQ(Pixel(one, 1, 1), 4u);
    EXPECT_EQ(elDraw::ObjectTable[made].Width, 5);
    EXPECT_EQ(TakenEntries(), 6);

    // A name in no record leaves the entry as it was.
    EXPECT_EQ(elDraw::SwapPack("three.bmp", one, 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::SwapPack", "BMPファイルを読み込めません"));
    EXPECT_STREQ(entry.Name, "TWO.BMP");
    EXPECT_NE(entry.Surface, nullptr);
}

TEST_F(PackTest, RestoreReloadsPackObjects) {
    OpenScreen(16);
    WritePack(Record(2, 1, "A.BMP", {0x7FFF, 0x0421}));
    ObjectNo no = elDraw::LoadPack("A.BMP", 2);
    ASSERT_EQ(no, 4);
    platform::LoseAllSurfaces();
    elDraw::Restore();
    EXPECT_TRUE(platform::headless::BoxLog().empty());
    EXPECT_EQ(Pixel(no, 0), 0xFFDFu);
    EXPECT_EQ(Pixel(no, 1), 0x0841u);
    EXPECT_EQ(elDraw::ObjectTable[no].FromPack, 1);
    EXPECT_STREQ(elDraw::ObjectTable[no].Name, "A.BMP");
    EXPECT_TRUE(elDraw::ObjectTable[no].Surface->hasKey);
    EXPECT_EQ(TakenEntries(), 5);
}

TEST_F(PackTest, MissingPackAndMissingNames) {
    OpenScreen(16);
    EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadPack", "パックファイル名が指定されていません"));
    // Paths that name no pack file: a missing file, folders, and a device that
    // never ends, reached by climbing out of the program folder.
    std::string device;
    for (const auto& part : root.relative_path()) device += part.empty() ? "" : "..\\";
    device += "dev\\zero";
    for (const std::string& path :
         {std::string("no such pack.dat"), folder, std::string(), device}) {
        elDraw::SetPackFile(path.c_str());
        EXPECT_EQ(elDraw::SwapPack("A.BMP", 4, 2), 0) << path;
        EXPECT_EQ(LastBox(), ErrorBox("elDraw::SwapPack", "パックファイル名が指定されていません"))
            << path;
    }
    WritePack(Record(1, 1, "A.BMP", {1}));
    EXPECT_EQ(elDraw::LoadPack("B.BMP", 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadPack", "BMPファイルを読み込めません"));
    EXPECT_EQ(TakenEntries(), 4);
}

// Damaged packs give a clean error and take no entry. Each case's pack is
// followed by nothing, or by a good record that must not be reached.
TEST_F(PackTest, DamagedPacksAreRefused) {
    OpenScreen(16);
    const Bytes good = Record(1, 1, "A.BMP", {1});
    const std::string longName(200, 'N');
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"header cut short", Bytes{1, 0, 1}},
        {"name without its NUL", Bytes{1, 0, 1, 0, 'A', '.', 'B'}},
        {"pixels cut short", Bytes{2, 0, 2, 0, 'A', '.', 'B', 'M', 'P', 0, 1, 0, 2}},
        {"absurd size", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 'A', '.', 'B', 'M', 'P', 0, 1, 0}},
        {"empty image", Record(0, 5, "A.BMP", {}) + good},
        {"absurd size skipped", Record(0xFFFF, 0xFFFF, "B.BMP", {}) + good},
    };
    for (const auto& [what, bytes] : cases) {
        platform::headless::ResetBoxes();
        WritePack(bytes);
        EXPECT_EQ(elDraw::LoadPack("a.bmp", 2), 0) << what;
        EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadPack", "BMPファイルを読み込めません")) << what;
        EXPECT_EQ(TakenEntries(), 4) << what;
    }

    // Names longer than the reader holds match nothing, and the search goes on
    // past them; requested names longer than an object's name are refused.
    WritePack(Record(1, 1, longName, {2}) + good);
    EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 4);
    for (const std::string& name : {longName, std::string(31, 'N'), std::string(128, 'N')}) {
        EXPECT_EQ(elDraw::LoadPack(name.c_str(), 2), 0) << name.size();
        EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadPack", "BMPファイルを読み込めません"));
    }
    EXPECT_EQ(TakenEntries(), 5);
}

// Inputs found while fuzzing the reader: each loads, or is refused with a box.
TEST_F(PackTest, CorpusLoadsOrIsRefused) {
    OpenScreen(16);
    int files = 0;
    for (const auto& file : fs::directory_iterator(PACK_CORPUS)) {
        std::ifstream in(file.path(), std::ios::binary);
        WritePack(Bytes(std::istreambuf_iterator<char>(in), {}));
        platform::headless::ResetBoxes();
        const ObjectNo no = elDraw::LoadPack("A.BMP", 2);
        EXPECT_EQ(no == 0, platform::headless::BoxLog().size() == 1) << file.path();
        if (no) elDraw::ReleaseObject(no);
        EXPECT_EQ(TakenEntries(), 4) << file.path();
        ++files;
    }
    EXPECT_GT(files, 5);
}

} // namespace
