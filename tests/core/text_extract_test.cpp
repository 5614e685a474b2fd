// Extraction helpers and the pending-events hook they call.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/pending_events.h"
#include "core/text.h"
#include "gbk.h"

namespace velmora {
namespace {

using test::G;

// Installs a hook that counts its calls; removes it at the end of the test.
class CountingHook {
public:
    CountingHook() {
        SetPendingEventsHook([this] { ++calls; });
    }
    ~CountingHook() { SetPendingEventsHook(nullptr); }
    std::atomic<int> calls{0};
};

TEST(TextBefore, Cases) {
    EXPECT_EQ(TextBefore("key=value", "="), "key");
    EXPECT_EQ(TextBefore("key=value", "#"), "");
    EXPECT_EQ(TextBefore("=value", "="), "");
    EXPECT_EQ(TextBefore("a=b=c", "="), "a");
}

TEST(TextAfterLast, Cases) {
    EXPECT_EQ(TextAfterLast("a-b-c", "-"), "c");
    EXPECT_EQ(TextAfterLast("a-", "-"), "");
    EXPECT_EQ(TextAfterLast("a-b-", "-"), "");
    EXPECT_EQ(TextAfterLast("abc", "-"), "");
    EXPECT_EQ(TextAfterLast("x::y::zz", "::"), "zz");
    EXPECT_EQ(TextAfterLast(G("北京-1"), "-"), "1");
    // "|" as a second byte is not a separator.
    EXPECT_EQ(TextAfterLast("a|b\xB0|", "|"), "b\xB0|");
}

TEST(TextBetween, Cases) {
    EXPECT_EQ(TextBetween("x[ab]y[cd]", "[", "]"), "ab");
    EXPECT_EQ(TextBetween("x] [ab", "[", "]"), "");    // right marker only before the left
    EXPECT_EQ(TextBetween("x[]y]", "[", "]"), "");      // right marker right after the left
    EXPECT_EQ(TextBetween("x[ a b ]", "[", "]"), " a b ");  // not trimmed
    EXPECT_EQ(TextBetween("abc", "[", "]"), "");
    EXPECT_EQ(TextBetween("ab[", "[", "]"), "");        // left marker ends the text
    EXPECT_EQ(TextBetween("a(b)", "", ")"), "a(b");     // empty left marker: from the start
    // "#引号" in a marker stands for a double quote.
    EXPECT_EQ(TextBetween("{\"p\":\"12.50\"}", G("\"p#引号:#引号"), G("#引号")), "12.50");
    EXPECT_EQ(TextBetween("{\"p\":\"1\"}", G("#引号#引号p"), "}"), "");
    // The markers are case-sensitive.
    EXPECT_EQ(TextBetween("<A>x</a>", "<a>", "</a>"), "");
}

TEST(TextBetweenAll, TrimmedNonEmptyPiecesInOrder) {
    CountingHook hook;
    const Text text =
        "[{\"aname\":\"  A \"},{\"aname\":\"\"},{\"aname\":\"   \"},{\"ANAME\":\"" +
        G("　乙") + "\"},{\"aname\":\"  B \"}]";
    TextList list{"stale"};
    EXPECT_EQ(TextBetweenAll(text, "aname\":\"", "\"}", list), 3);
    EXPECT_EQ(list, (TextList{"A", G("乙"), "B"}));
    EXPECT_EQ(hook.calls, 5 * 3);  // three times after each marker pair, empty ones too
}

TEST(TextBetweenAll, StopsAtALeftMarkerWithoutRightMarker) {
    TextList list;
    EXPECT_EQ(TextBetweenAll("<b>one</B> <b>two</b> <b>three", "<b>", "</b>", list), 2);
    EXPECT_EQ(list, (TextList{"one", "two"}));
    EXPECT_EQ(TextBetweenAll("nothing here", "<b>", "</b>", list), 0);
    EXPECT_TRUE(list.empty());
}

TEST(TextBetweenAll, NextLeftMarkerMayStartInsideTheRightMarker) {
    TextList list;
    // After "a", the search for "|" resumes at the right marker "|": "b" follows.
    EXPECT_EQ(TextBetweenAll("|a|b|c|", "|", "|", list), 3);
    EXPECT_EQ(list, (TextList{"a", "b", "c"}));
}

TEST(TextBetweenAll, EmptyMarkersEnd) {
    TextList list;
    EXPECT_EQ(TextBetweenAll("a(b)c(d)", "", ")", list), 0);  // would never move on
    EXPECT_EQ(TextBetweenAll("a(b)c(d)", "(", "", list), 0);
}

TEST(PendingEvents, WithoutAHookNothingHappens) {
    SetPendingEventsHook(nullptr);
    ProcessPendingEvents();
    TextList list;
    EXPECT_EQ(TextBetweenAll("(x)", "(", ")", list), 1);
}

TEST(PendingEvents, HookMayBeReplacedWhileOthersCallIt) {
    std::atomic<int> first{0}, second{0};
    SetPendingEventsHook([&] { ++first; });
    std::atomic<bool> stop{false};
    std::thread caller([&] {
        while (!stop) ProcessPendingEvents();
    });
    while (first == 0) std::this_thread::yield();
    SetPendingEventsHook([&] { ++second; });
    while (second == 0) std::this_thread::yield();
    stop = true;
    caller.join();
    SetPendingEventsHook(nullptr);
    const int before = second;
    ProcessPendingEvents();
    EXPECT_EQ(second, before);
}

}  // namespace
}  // namespace velmora
