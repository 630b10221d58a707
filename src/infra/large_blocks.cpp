#include "infra/large_blocks.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct KeptBlock
{
    void* p;
    size_t nBytes;
};

// The kept blocks, oldest first, and their bytes. Never destroyed, so that a block given back while
// the program ends still finds them; the blocks stay reachable until the end.
struct KeptBlocks
{
    std::mutex lock;
    std::vector<KeptBlock> aBlocks;
    size_t nBytes = 0;
};

KeptBlocks& Kept()
{
    static KeptBlocks& kept = *new KeptBlocks;
    return kept;
}

}  // namespace

void* TakeLargeBlock(size_t nBytes)
{
    KeptBlocks& kept = Kept();
    {
        const std::lock_guard<std::mutex> guard(kept.lock);
        const auto found = std::find_if(kept.aBlocks.rbegin(), kept.aBlocks.rend(),
                                        [nBytes](const KeptBlock& block) { return block.nBytes == nBytes; });
        if (found != kept.aBlocks.rend())
        {
            void* p = found->p;
            kept.nBytes -= nBytes;
            kept.aBlocks.erase(std::next(found).base());
            return p;
        }
    }
    void* p = std::aligned_alloc(kLargePageBytes, nBytes);
    if (p != nullptr)
        AdviseLargePages(p, nBytes);
    return p;
}

void ReturnLargeBlock(void* p, size_t nBytes) noexcept
{
    if (nBytes > kKeptBlockBytes)
    {
        std::free(p);
        return;
    }
    KeptBlocks& kept = Kept();
    const std::lock_guard<std::mutex> guard(kept.lock);
    try
    {
        kept.aBlocks.push_back(KeptBlock{p, nBytes});
    }
    catch (const std::bad_alloc&)
    {
        std::free(p);
        return;
    }
    kept.nBytes += nBytes;
    while (kept.nBytes > kKeptBlockBytes)
    {
        std::free(kept.aBlocks.front().p);
        kept.nBytes -= kept.aBlocks.front().nBytes;
        kept.aBlocks.erase(kept.aBlocks.begin());
    }
}
