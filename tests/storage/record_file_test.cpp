#include "storage/record_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "core/codepage.h"
#include "scratch_dir.h"

namespace velmora {
namespace {

using testing::EntryCount;
using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;

RecordRow SampleRow(int i) {
    return RecordRow{std::to_string(1743535 + i),
                     Cp936FromUtf8("小米手环 " + std::to_string(i)),
                     Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"),
                     std::to_string(5 + i),
                     "1000004123",
                     "652,12345,6789"};
}

std::vector<RecordRow> SampleRows(int n) {
    std::vector<RecordRow> rows;
    for (int i = 0; i < n; ++i) rows.push_back(SampleRow(i));
    return rows;
}

std::vector<RecordRow> RowsOf(const std::vector<LoadedRecord>& loaded) {
    std::vector<RecordRow> rows;
    for (const LoadedRecord& r : loaded) {
        EXPECT_TRUE(r.isRecord);
        rows.push_back(r.row);
    }
    return rows;
}

TEST(RecordFileFormat, OneLineIsTheSixFieldsWithTheirSeparators) {
    RecordRow row{"100", "Name", "R", "5", "v", "c"};
    EXPECT_EQ(FormatRecordFile({row}), "100-----Name||||R@@@@5####v&&&&c\r\n");
    EXPECT_EQ(FormatRecordFile({RecordRow{}}), "-----||||@@@@####&&&&\r\n");
    EXPECT_EQ(FormatRecordFile({}), "");
}

TEST(RecordFileFormat, RoundTripKeepsEveryRowInOrder) {
    for (int n : {1, 3, 1000}) {
        std::vector<RecordRow> rows = SampleRows(n);
        Bytes bytes = FormatRecordFile(rows);
        EXPECT_EQ(SplitText(bytes, "\r\n").size(), static_cast<size_t>(n));
        EXPECT_EQ(RowsOf(ParseRecordFile(bytes)), rows) << n << " rows";
    }
}

TEST(RecordFileFormat, LineBreaksInsideACellBecomeSpaces) {
    // Written raw, the pair would cut the record in two and lose it on load.
    RecordRow row{"1", "two\r\nlines", "R", "5", "v\n", "c\r"};
    Bytes bytes = FormatRecordFile({row});
    std::vector<LoadedRecord> loaded = ParseRecordFile(bytes);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].row, (RecordRow{"1", "two  lines", "R", "5", "v ", "c "}));
}

struct ParseCase {
    const char* what;
    Bytes file;
    std::vector<LoadedRecord> expected;
};

LoadedRecord Rec(RecordRow row) { return LoadedRecord{true, std::move(row)}; }
const LoadedRecord kNotARecord{};

TEST(RecordFileParse, Table) {
    const Bytes a = "1-----A||||ra@@@@1####va&&&&ca";
    const Bytes b = "2-----B||||rb@@@@2####vb&&&&cb";
    const RecordRow rowA{"1", "A", "ra", "1", "va", "ca"};
    const RecordRow rowB{"2", "B", "rb", "2", "vb", "cb"};
    const ParseCase cases[] = {
        {"empty file", "", {}},
        {"last line without line end", a + "\r\n" + b, {Rec(rowA), Rec(rowB)}},
        {"blank line between records",
         a + "\r\n\r\n" + b + "\r\n",
         {Rec(rowA), kNotARecord, Rec(rowB)}},
        {"only a line end", "\r\n", {kNotARecord}},
        {"one bar and no four bars",
         "123-----abc|def\r\n",
         {Rec(RecordRow{"123", "", "", "", "", ""})}},
        {"one bar, later markers still cut",
         "9-----x|y@@@@5####v&&&&c",
         {Rec(RecordRow{"9", "", "", "5", "v", "c"})}},
        {"no bar at all", "123-----abc\r\n", {kNotARecord}},
        {"no five hyphens", "123----abc||||r@@@@5####v&&&&c\r\n", {kNotARecord}},
        {"name holding five hyphens",
         "77-----a-----b||||r@@@@5####v&&&&c",
         {Rec(RecordRow{"77", "a-----b", "r", "5", "v", "c"})}},
        {"empty fields", "-----||||@@@@####&&&&\r\n", {Rec(RecordRow{})}},
        {"text ends at a zero byte",
         Bytes("1-----A||||r@@@@", 16) + Bytes(1, '\0') + "\r\n" + b,
         {Rec(RecordRow{"1", "A", "r", "", "", ""})}},
        // 0x81 0x7C is one character whose second byte is the code of "|": it
        // is neither the one bar of the test nor part of the four-bar marker.
        {"second byte 0x7C is no bar", "5-----\x81\x7C\r\n", {kNotARecord}},
        {"second byte 0x7C not in the marker",
         "5-----\x81\x7C\x81\x7C||||r@@@@1####v&&&&c",
         {Rec(RecordRow{"5", "\x81\x7C\x81\x7C", "r", "1", "v", "c"})}},
    };
    for (const ParseCase& c : cases) {
        std::vector<LoadedRecord> got = ParseRecordFile(c.file);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].isRecord, c.expected[i].isRecord) << c.what << " line " << i + 1;
            EXPECT_EQ(got[i].row, c.expected[i].row) << c.what << " line " << i + 1;
        }
    }
}

TEST(RecordFileSave, WritesTheFormattedBytesAndLoadsThemBack) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    EXPECT_EQ(LoadRecordFile(path).size(), 0u) << "missing file";

    ASSERT_TRUE(SaveRecordFile(path, {}));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_TRUE(LoadRecordFile(path).empty());

    std::vector<RecordRow> rows = SampleRows(1000);
    ASSERT_TRUE(SaveRecordFile(path, rows));
    EXPECT_EQ(ReadAll(path), FormatRecordFile(rows));
    EXPECT_EQ(RowsOf(LoadRecordFile(path)), rows);
    EXPECT_EQ(EntryCount(dir.path()), 1) << "no temporary file stays behind";
}

TEST(RecordFileSave, FailedSavesLeaveThePreviousFileWhole) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    ASSERT_TRUE(SaveRecordFile(path, SampleRows(2)));
    const Bytes before = ReadAll(path);

    // The directory is a file.
    WriteAll(dir / "plain", "x");
    EXPECT_FALSE(SaveRecordFile(dir / "plain" / kRecordFileName, SampleRows(1)));

    // The target is a directory: the rename fails after the write.
    std::filesystem::create_directory(dir / "taken");
    EXPECT_FALSE(SaveRecordFile(dir / "taken", SampleRows(1)));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));

    // The disk fills up part-way: the file size limit stops the write.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = SaveRecordFile(path, SampleRows(1000));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);

    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(EntryCount(dir.path()), 3) << "the record file, plain, taken: no temporary file";
}

}  // namespace
}  // namespace velmora
