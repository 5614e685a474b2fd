// Line breaks in a record file's fields (the file is plain text anyone can
// edit) reach the check requests only as far as the first break: the store
// sees no extra header line and no extra request.
#include <sstream>

#include "hostile_fixture.h"

namespace velmora::testing {
namespace {

class HostileInput : public HostileWindow {};

bool IsOwnHeader(const std::string& line) {
    for (const char* name : {"Host: ", "Accept: ", "Referer: ", "Accept-Language: ",
                             "Content-Type: ", "User-Agent: "}) {
        if (line.rfind(name, 0) == 0) return true;
    }
    return false;
}

TEST_F(HostileInput, LineBreaksInRecordFieldsCannotAddRequestOrHeaderLines) {
    // One record per field that goes into a check's address, each field with
    // a lone LF or CR (a CR LF pair would end the record) and a forged line.
    // Saves write breaks as spaces; a file edited by hand can still hold them.
    const Text region = Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799");
    auto line = [&](const Text& sku, const Text& area, const Text& vender, const Text& cat) {
        return sku + "-----" + Cp936FromUtf8("商品") + "||||" + area + "@@@@0####" + vender +
               "&&&&" + cat + "\r\n";
    };
    const Bytes file = line("1743535\nX-Injected: sku", region, "1000", "9987,653,655") +
                       line("1743536", region + "\rX-Injected: region", "1000", "9987,653,655") +
                       line("1743537", region, "1000\nGET /forged HTTP/1.1", "9987,653,655") +
                       line("1743538", region, "1000", "9987,653,655\rX-Injected: cat");
    WriteWhole(dir() / kRecordFileName, file);

    MainWindow& w = Start();
    ASSERT_EQ(w.List().ListRowCount(), 4);
    ASSERT_NE(w.List().ListGetCell(0, ColSku).find('\n'), Text::npos) << "the break was not loaded";
    StartMonitoring();
    // Every row's check has sent its last request.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return store().CountRequests("GET /prices/pcpmgets") >= 4; }, 10000));
    StopMonitoring();
    QTest::qWait(300);

    const std::string log = StoreLog();
    EXPECT_EQ(log.find("X-Injected"), std::string::npos) << log;
    EXPECT_EQ(log.find("forged"), std::string::npos) << log;
    // Every logged block is one GET line followed by the program's own headers.
    std::istringstream in(log);
    bool atRequestLine = true;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            atRequestLine = true;
        } else if (atRequestLine) {
            EXPECT_EQ(line.rfind("GET /", 0), 0u) << line;
            EXPECT_NE(line.find(" HTTP/1.1"), std::string::npos) << line;
            atRequestLine = false;
        } else {
            EXPECT_TRUE(IsOwnHeader(line)) << line;
        }
    }
}

}  // namespace
}  // namespace velmora::testing
