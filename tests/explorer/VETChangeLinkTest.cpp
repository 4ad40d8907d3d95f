// The change-link dispatcher with fake controls: who is told what, and what unregistering releases.
#include "explorer/VETChangeLink.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola::test {
namespace {

// A control that records what it is told and, like an explorer view that browses to the item, passes
// the change on as its own.
struct TFakeControl {
    TFakeControl(TVETChangeDispatch& dispatch, std::string name)
        : Dispatch(dispatch), Name(std::move(name)) {}

    void Follow(const TFakeControl& server) {
        Dispatch.RegisterChangeLink(
            &server, this, [this](const void* from, const TItemIDList& pidl) { Changed(from, pidl); },
            [this](IVETChangeLink& link) {
                Released.push_back(static_cast<const TFakeControl*>(link.Server()));
            });
    }
    void Changed(const void* from, const TItemIDList& pidl) {
        Told.push_back(static_cast<const TFakeControl*>(from)->Name);
        if (PassOn)
            Dispatch.DispatchChange(this, pidl);
    }

    TVETChangeDispatch& Dispatch;
    std::string Name;
    bool PassOn = true;
    std::vector<std::string> Told; // the servers, in order
    std::vector<const TFakeControl*> Released;
};

class ChangeDispatchTest : public testing::Test {
protected:
    TVETChangeDispatch dispatch;
    TFakeControl a{dispatch, "A"}, b{dispatch, "B"}, c{dispatch, "C"};
    const TItemIDList pidl = Path({"x"});
};

TEST_F(ChangeDispatchTest, AChainPassesOnAndNeverComesBack) {
    b.Follow(a);
    c.Follow(b);
    a.Follow(c); // a ring: C's reaction must not reach the initiator
    dispatch.DispatchChange(&a, pidl);
    EXPECT_EQ(a.Told, (std::vector<std::string>{}));
    EXPECT_EQ(b.Told, (std::vector<std::string>{"A"}));
    EXPECT_EQ(c.Told, (std::vector<std::string>{"B"}));
    EXPECT_FALSE(dispatch.Dispatching());
}

TEST_F(ChangeDispatchTest, MutualLinksTellThePartnerOnce) {
    a.Follow(b);
    b.Follow(a);
    dispatch.DispatchChange(&a, pidl);
    EXPECT_EQ(a.Told, (std::vector<std::string>{}));
    EXPECT_EQ(b.Told, (std::vector<std::string>{"A"}));
    dispatch.DispatchChange(&b, pidl);
    EXPECT_EQ(a.Told, (std::vector<std::string>{"B"}));
    EXPECT_EQ(b.Told, (std::vector<std::string>{"A"}));
}

TEST_F(ChangeDispatchTest, AControlToldDirectlyIsNotToldAgainThroughAPartner) {
    b.Follow(a);
    c.Follow(a);
    c.Follow(b);
    dispatch.DispatchChange(&a, pidl);
    EXPECT_EQ(b.Told, (std::vector<std::string>{"A"}));
    EXPECT_EQ(c.Told, (std::vector<std::string>{"A"}));
}

TEST_F(ChangeDispatchTest, UnregisterModesRemoveTheMatchingLinksAndTellTheirClients) {
    struct Case {
        TVETUnregisterMode mode;
        const void* server;
        const void* client;
        std::size_t left;
        std::vector<std::string> released; // "client<-server", in the order told
    };
    // Links in registration order: B<-A, C<-A, A<-B, C<-B.
    const Case cases[] = {
        {TVETUnregisterMode::umServer, &a, nullptr, 3, {"C<-A"}},
        {TVETUnregisterMode::umClient, nullptr, &c, 3, {"C<-B"}},
        {TVETUnregisterMode::umBoth, &a, &c, 3, {"C<-A"}},
        {TVETUnregisterMode::umBoth, &c, &a, 4, {}},
        {TVETUnregisterMode::umEither, &b, &b, 1, {"C<-B", "A<-B", "B<-A"}},
        {TVETUnregisterMode::umEither, &a, &a, 1, {"A<-B", "C<-A", "B<-A"}},
    };
    for (const Case& test : cases) {
        TVETChangeDispatch table;
        TFakeControl ta{table, "A"}, tb{table, "B"}, tc{table, "C"};
        tb.Follow(ta);
        tc.Follow(ta);
        ta.Follow(tb);
        tc.Follow(tb);
        const auto remap = [&](const void* p) -> const void* {
            return p == &a ? &ta : p == &b ? static_cast<const void*>(&tb) : p == &c ? &tc : nullptr;
        };
        const std::vector<TVETChangeLinkPtr> before = table.Links();
        table.UnRegisterChangeLink(remap(test.server), remap(test.client), test.mode);
        EXPECT_EQ(table.Count(), test.left) << static_cast<int>(test.mode);
        std::vector<std::string> released;
        for (const TFakeControl* client : {&ta, &tb, &tc}) {
            for (const TFakeControl* server : client->Released)
                released.push_back(client->Name + "<-" + server->Name);
        }
        std::vector<std::string> expected = test.released;
        std::sort(released.begin(), released.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(released, expected) << static_cast<int>(test.mode);
        // A removed link is emptied: it names nobody and calls nothing any more.
        for (const TVETChangeLinkPtr& link : before) {
            const std::vector<TVETChangeLinkPtr> now = table.Links();
            if (std::find(now.begin(), now.end(), link) != now.end())
                continue;
            EXPECT_EQ(link->Server(), nullptr);
            EXPECT_EQ(link->Client(), nullptr);
            EXPECT_FALSE(link->ChangeProc());
            EXPECT_FALSE(link->FreeProc());
        }
    }
}

TEST_F(ChangeDispatchTest, HandlersMayRegisterAndRemoveLinksWhileADispatchRuns) {
    // B, told first, drops every link naming it and adds new ones: the dispatch goes on over what was
    // registered when it began, and a removed link is not called any more.
    b.PassOn = false;
    c.PassOn = false;
    TFakeControl d{dispatch, "D"};
    d.PassOn = false;
    int bCalls = 0;
    dispatch.RegisterChangeLink(
        &a, &b,
        [&](const void*, const TItemIDList&) {
            ++bCalls;
            dispatch.UnRegisterChangeLink(&b, &b, TVETUnregisterMode::umEither);
            dispatch.UnRegisterChangeLink(&a, &c, TVETUnregisterMode::umBoth);
            for (int i = 0; i < 64; ++i)
                d.Follow(a);
        },
        nullptr);
    c.Follow(a);
    d.Follow(a);
    dispatch.DispatchChange(&a, pidl);
    EXPECT_EQ(bCalls, 1);
    EXPECT_EQ(c.Told, (std::vector<std::string>{}));
    EXPECT_EQ(d.Told, (std::vector<std::string>{"A"}));
    EXPECT_EQ(dispatch.Count(), 65u);
}

TEST_F(ChangeDispatchTest, AHandlerThatThrowsEndsTheDispatchCleanly) {
    dispatch.RegisterChangeLink(
        &a, &b, [](const void*, const TItemIDList&) { throw std::runtime_error("boom"); }, nullptr);
    EXPECT_THROW(dispatch.DispatchChange(&a, pidl), std::runtime_error);
    EXPECT_FALSE(dispatch.Dispatching());
    c.Follow(b);
    dispatch.DispatchChange(&b, pidl);
    EXPECT_EQ(c.Told, (std::vector<std::string>{"B"}));
}

} // namespace
} // namespace tarvola::test
