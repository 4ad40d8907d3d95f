// Change links: either side may go first, and no link hears from a source that is gone.
#include "forms/ChangeLink.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

TEST(ChangeLink, ChangesReachEveryRegisteredLinkOnce) {
    TChangeLinkSource source;
    std::vector<std::string> heard;
    TChangeLink first, second;
    first.OnChange = [&] { heard.push_back("first"); };
    second.OnChange = [&] { heard.push_back("second"); };
    first.SetSource(&source);
    second.SetSource(&source);
    first.SetSource(&source); // registering twice keeps one registration
    source.Change();
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
    second.SetSource(nullptr);
    heard.clear();
    source.Change();
    EXPECT_EQ(heard, std::vector<std::string>{"first"});
}

TEST(ChangeLink, ALinkMovesFromOneSourceToAnother) {
    TChangeLinkSource a, b;
    TChangeLink link;
    link.SetSource(&a);
    link.SetSource(&b);
    EXPECT_EQ(a.LinkCount(), 0u);
    EXPECT_EQ(b.LinkCount(), 1u);
    EXPECT_EQ(link.Source(), &b);
}

TEST(ChangeLink, ASourceThatGoesDetachesItsLinksAndTellsThem) {
    TChangeLink link;
    int gone = 0;
    link.OnSourceGone = [&] {
        ++gone;
        EXPECT_EQ(link.Source(), nullptr) << "detached before it is told";
    };
    {
        TChangeLinkSource source;
        link.SetSource(&source);
    }
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(link.Source(), nullptr);
    link.SetSource(nullptr); // must not reach the freed source
}

TEST(ChangeLink, ALinkThatGoesFirstLeavesNoPointerInItsSource) {
    TChangeLinkSource source;
    {
        TChangeLink link;
        link.SetSource(&source);
        EXPECT_EQ(source.LinkCount(), 1u);
    }
    EXPECT_EQ(source.LinkCount(), 0u);
    source.Change(); // would touch the freed link
}

TEST(ChangeLink, HandlersMayUnregisterOrFreeLinksWhileTheyAreTold) {
    TChangeLinkSource source;
    auto doomed = std::make_unique<TChangeLink>();
    int doomedHeard = 0;
    doomed->OnChange = [&] { ++doomedHeard; };
    TChangeLink killer;
    killer.OnChange = [&] { doomed.reset(); };
    killer.SetSource(&source);
    doomed->SetSource(&source);
    source.Change();
    EXPECT_EQ(doomedHeard, 0);
    EXPECT_EQ(source.LinkCount(), 1u);

    // Being told that the source goes, a link may free another link of the same source.
    auto other = std::make_unique<TChangeLink>();
    TChangeLink last;
    last.OnSourceGone = [&] { other.reset(); };
    {
        TChangeLinkSource going;
        other->SetSource(&going);
        last.SetSource(&going);
    }
    EXPECT_EQ(other, nullptr);
}

} // namespace
} // namespace tarvola
