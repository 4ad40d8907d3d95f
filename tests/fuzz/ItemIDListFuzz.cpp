// libFuzzer target: arbitrary bytes read as a stored list of item identifier lists and as one list by value.
// Whatever is accepted must hold together; nothing may read outside the bytes or leak.
#include "shell/VirtualPIDLTools.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvola;
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<std::int64_t>(size));
    stream.SetPosition(0);
    TPIDLManager manager(MallocAllocator());
    {
        TPIDLList list(manager);
        list.LoadFromStream(stream);
        for (int i = 0; i < list.Count(); ++i) {
            PItemIDList pidl = list.Get(i);
            PItemIDList copy = manager.CopyPIDL(pidl);
            if (TPIDLManager::GetPIDLSize(copy) != TPIDLManager::GetPIDLSize(pidl))
                std::abort();
            manager.FreePIDL(copy);
        }
    }
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::size_t listSize = CheckedPIDLSize(data, size);
    if (listSize != 0) {
        const TItemIDList list = TItemIDList::FromBytes(std::vector<std::uint8_t>(data, data + listSize));
        if (!(list.Parent().Append(list.LastItem()) == list))
            std::abort();
    }
    return 0;
}
