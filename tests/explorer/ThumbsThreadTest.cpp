// The thumbnail thread over a folder in memory: the results it posts (states, source sizes, BMP or JPEG
// streams), the options it copies under the request lock, and resetting under that lock while the thread is
// busy, which must not wait for the thread.
#include "explorer/ThumbsThread.h"

#include "tests/explorer/ThumbsFixtureFolder.h"
#include "tests/shell/ImageQueueFixture.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>

namespace tarvola {
namespace {

using namespace testing_queues;
using Bytes = std::vector<std::uint8_t>;

// The records of a test list joined by backslashes are the file's path ("C:/p/a.jpg" names C:\p\a.jpg).
WideString PathOf(PCItemIDList pidl) {
    std::string path;
    for (const std::uint8_t* id = pidl; id[0] != 0 || id[1] != 0; id += id[0] | id[1] << 8) {
        if (!path.empty())
            path += '\\';
        path.append(reinterpret_cast<const char*>(id + 2),
                    static_cast<std::size_t>((id[0] | id[1] << 8) - 2));
    }
    return Utf8ToWide(path);
}

class FakeThumbThread final : public TThumbThread {
public:
    using TThumbThread::TThumbThread;
    ~FakeThumbThread() override { Stop(); }

    TThreadGate gate;
    std::map<WideString, Bytes> files;
    bool throwOnName = false;

protected:
    WideString FileNameOf(PCItemIDList pidl) override {
        if (throwOnName)
            throw std::runtime_error("no name");
        return PathOf(pidl);
    }
    std::optional<Bytes> ReadFile(const WideString& fileName) override {
        gate.Pass();
        const auto found = files.find(fileName);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
};

struct Posted {
    std::string name;
    TThumbnailResult result;
};

// The list's side: reads each posted result and releases the request, as the view does.
class ThumbThreadTest : public ImageQueueTest {
protected:
    void Add(const std::string& path) {
        const TItemIDList pidl = Path(path);
        names.push_back(path);
        queue->AddNewItem({1, WM_THUMBTHREADRESULT, pidl.Data(), 0, &names.back(), 0});
    }
    bool Post(TImageThreadItem* item) {
        std::lock_guard guard(lock);
        if (refuse)
            return false;
        const TThumbnailResult* result = ThumbResultOf(*item);
        EXPECT_NE(result, nullptr);
        EXPECT_EQ(item->MessageId, WM_THUMBTHREADRESULT);
        posted.push_back({*static_cast<std::string*>(item->Data), result ? *result : TThumbnailResult{}});
        ReleaseImageThreadItem(item, manager);
        arrived.notify_all();
        return true;
    }
    void WaitForResults(std::size_t count) {
        WaitUntil([&] { return posted.size() >= count; });
    }
    const Posted& ResultFor(const std::string& name) {
        std::lock_guard guard(lock);
        for (const Posted& p : posted)
            if (p.name == name)
                return p;
        static const Posted none;
        ADD_FAILURE() << "no result for " << name;
        return none;
    }

    std::vector<Posted> posted;
    std::deque<std::string> names; // the requests' data: stable addresses
    bool refuse = false;
    std::unique_ptr<FakeThumbThread> thread = std::make_unique<FakeThumbThread>(
        *queue, [this](TImageThreadItem* item) { return Post(item); },
        [](std::exception_ptr) { ADD_FAILURE() << "no error expected"; }, TThumbnailSettings{});
};

TEST_F(ThumbThreadTest, PostsStatesSourceSizesAndThumbnailsForAFolder) {
    TThumbnailSettings compressed;
    compressed.Compressed = true;
    for (const bool compress : {false, true}) {
        SCOPED_TRACE(compress ? "compressed" : "plain");
        thread->CopyOptions(compress ? compressed : TThumbnailSettings{});
        posted.clear();
        for (const thumbstest::TFixturePicture& picture : thumbstest::FixtureFolder()) {
            thread->files[Utf8ToWide("C:\\p\\" + picture.Name)] = picture.Bytes;
            Add("C:/p/" + picture.Name);
        }
        Add("C:/p/gone.jpg"); // removed before the thread came to it
        thread->Start();
        WaitForResults(4);
        thread->Stop();
        for (const thumbstest::TFixturePicture& picture : thumbstest::FixtureFolder()) {
            SCOPED_TRACE(picture.Name);
            const TThumbnailResult& result = ResultFor("C:/p/" + picture.Name).result;
            EXPECT_EQ(result.State, picture.State);
            EXPECT_EQ(result.Width, picture.ImageWidth);
            EXPECT_EQ(result.Height, picture.ImageHeight);
            if (picture.State != tsDone) {
                EXPECT_TRUE(result.Stream.empty());
                continue;
            }
            // Only the photo is larger than 200 x 200 both ways.
            EXPECT_EQ(result.Compressed, compress && picture.ImageWidth > 200);
            const TPixelImage thumbnail =
                result.Compressed ? DecodeJpeg(result.Stream) : DecodeBmp(result.Stream);
            EXPECT_EQ(thumbnail.Width, picture.ThumbWidth);
            EXPECT_EQ(thumbnail.Height, picture.ThumbHeight);
        }
        EXPECT_EQ(ResultFor("C:/p/gone.jpg").result.State, tsNoThumbnail);
    }
}

TEST_F(ThumbThreadTest, ARequestTakenAfterCopyOptionsUsesTheNewSize) {
    thread->files[u"C:\\p\\photo.jpg"] = thumbstest::FixtureFolder()[0].Bytes;
    thread->Start();
    Add("C:/p/photo.jpg");
    WaitForResults(1);
    TThumbnailSettings larger;
    larger.Width = 200;
    larger.Height = 60;
    thread->CopyOptions(larger);
    EXPECT_EQ(thread->Options().Width, 200);
    Add("C:/p/photo.jpg");
    WaitForResults(2);
    thread->Stop();
    const TPixelImage first = DecodeBmp(posted[0].result.Stream);
    const TPixelImage second = DecodeBmp(posted[1].result.Stream);
    EXPECT_EQ(std::pair(first.Width, first.Height), std::pair(120, 90));
    EXPECT_EQ(std::pair(second.Width, second.Height), std::pair(80, 60));
}

// The reset runs under the request lock while the thread is inside a request: it must finish without the
// thread (which would otherwise deadlock here), and the request in hand, withdrawn, is never posted.
TEST_F(ThumbThreadTest, ResetUnderTheRequestLockDoesNotWaitForTheThread) {
    thread->files[u"C:\\p\\photo.jpg"] = thumbstest::FixtureFolder()[0].Bytes;
    thread->gate.HoldNext();
    thread->Start();
    Add("C:/p/photo.jpg");
    Add("C:/p/other.jpg"); // taken first (newest)
    thread->gate.WaitUntilHeld();
    TThumbnailSettings smaller;
    smaller.Width = smaller.Height = 40;
    bool statesReset = false;
    EXPECT_EQ(thread->ResetThumbnails(1, smaller, [&] { statesReset = true; }), 2);
    EXPECT_TRUE(statesReset);
    EXPECT_EQ(queue->Count(), 0);
    thread->CopyOptions(smaller); // also without the thread
    thread->gate.Let();
    Add("C:/p/photo.jpg");
    WaitForResults(1);
    thread->Stop();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, "C:/p/photo.jpg");
    EXPECT_EQ(DecodeBmp(posted[0].result.Stream).Width, 40);
}

TEST_F(ThumbThreadTest, FailuresGiveNoThumbnailAndAnUndeliveredResultIsFreed) {
    thread->throwOnName = true;
    thread->Start();
    Add("C:/p/photo.jpg");
    WaitForResults(1);
    EXPECT_EQ(posted[0].result.State, tsNoThumbnail);
    {
        std::lock_guard guard(lock);
        refuse = true;
    }
    thread->throwOnName = false;
    thread->files[u"C:\\p\\photo.jpg"] = thumbstest::FixtureFolder()[0].Bytes;
    Add("C:/p/photo.jpg");
    while (queue->Count() > 0)
        std::this_thread::yield();
    thread->Stop(); // the thread gives up the post and frees the request with its thumbnail (leaks show)
    EXPECT_EQ(posted.size(), 1u);
}

} // namespace
} // namespace tarvola
