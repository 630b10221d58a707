// Items made on the test's thread and written behind it: every write in order, overlapping the
// making of the next item, no more than two items held, and errors as a serial run gives them.

#include "render/write_behind.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Waits long enough for any machine; a write behind that never overlaps fails here, not hangs.
constexpr auto kPatience = std::chrono::seconds(10);

struct Record
{
    std::mutex mutex;
    std::condition_variable changed;
    int nMade = 0;
    int nHeld = 0;  // made, not yet written
    int nMaxHeld = 0;
    std::vector<int> aWritten;

    void Made()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++nMade;
        nMaxHeld = std::max(nMaxHeld, ++nHeld);
        changed.notify_all();
    }
    void Written(int k)
    {
        std::lock_guard<std::mutex> lock(mutex);
        aWritten.push_back(k);
        --nHeld;
    }
    bool WaitUntilMade(int n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kPatience, [&] { return nMade >= n; });
    }
};

}  // namespace

TEST(WriteBehind, WritesEveryItemInOrderWhileTheNextIsMadeHoldingAtMostTwo)
{
    Record record;
    bool bOverlapped = false;
    {
        CWriteBehind writer;
        for (int k = 0; k < 8; ++k)
            writer.Add([&, k]() -> CWriteBehind::Job {
                record.Made();
                return [&, k] {
                    if (k == 0)
                    {
                        // Item 1 is made while item 0 is written; a third item must wait.
                        bOverlapped = record.WaitUntilMade(2);
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    }
                    record.Written(k);
                };
            });
        writer.Finish();
        EXPECT_EQ(record.aWritten, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    }
    EXPECT_TRUE(bOverlapped);
    EXPECT_LE(record.nMaxHeld, 2);
}

TEST(WriteBehind, TheFirstErrorInItemOrderIsThrownAndNothingAfterItIsWritten)
{
    struct Case
    {
        int nFailingWrite;  // -1: none
        int nFailingMake;   // -1: none
        const char* pszFirst;
        std::vector<int> aWritten;
    };
    const Case aCases[] = {
        {2, -1, "write 2", {0, 1}},
        // Item 3 fails to be made while item 2 is being written, which then fails: item 2's
        // error came first.
        {2, 3, "write 2", {0, 1}},
        {-1, 3, "make 3", {0, 1, 2}},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(testing::Message() << "write " << c.nFailingWrite << ", make " << c.nFailingMake);
        Record record;
        std::string strError;
        try
        {
            CWriteBehind writer;
            for (int k = 0; k < 6; ++k)
                writer.Add([&, k]() -> CWriteBehind::Job {
                    record.Made();
                    if (k == c.nFailingMake)
                        throw std::runtime_error("make " + std::to_string(k));
                    return [&, k] {
                        if (k == c.nFailingWrite && c.nFailingMake > k)
                            record.WaitUntilMade(c.nFailingMake + 1);
                        if (k == c.nFailingWrite)
                            throw std::runtime_error("write " + std::to_string(k));
                        record.Written(k);
                    };
                });
            writer.Finish();
        }
        catch (const std::runtime_error& error)
        {
            strError = error.what();
        }
        EXPECT_EQ(strError, c.pszFirst);
        EXPECT_EQ(record.aWritten, c.aWritten);
    }
}
