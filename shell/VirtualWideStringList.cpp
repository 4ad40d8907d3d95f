#include "shell/VirtualWideStringList.h"

#include "audio/Streams.h"
#include "base/Numerics.h"

#include <utility>

namespace tarvola {

namespace {

[[noreturn]] void ListError(const char* format, int value) {
    std::string text(format);
    text.replace(text.find("%d"), 2, std::to_string(value));
    throw EStringListError(text);
}

constexpr char kIndexOutOfBounds[] = "List index out of bounds (%d)";

bool IsLineBreak(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x2028 || c == 0x2029;
}

} // namespace

TWideStringList::TWideStringList(const TWideTextServices& text) : text_(text) {}

TWideStringList::~TWideStringList() {
    for (Item& item : items_)
        FreeObject(item.object);
}

void TWideStringList::Changing() {
    if (updateCount_ == 0 && OnChanging)
        OnChanging();
}

void TWideStringList::Changed() {
    if (updateCount_ == 0 && OnChange)
        OnChange();
}

void TWideStringList::BeginUpdate() {
    if (updateCount_ == 0)
        Changing();
    ++updateCount_;
}

void TWideStringList::EndUpdate() {
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        Changed();
}

void TWideStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        ListError(kIndexOutOfBounds, index);
}

void TWideStringList::FreeObject(void* object) {
    if (object != nullptr && deleter_)
        deleter_(object);
}

void TWideStringList::SetCapacity(int capacity) {
    if (capacity < Count())
        ListError("List capacity out of bounds (%d)", capacity);
    items_.reserve(static_cast<std::size_t>(capacity));
    capacity_ = capacity;
}

void TWideStringList::Grow() {
    const int delta = capacity_ > 64 ? capacity_ / 4 : (capacity_ > 8 ? 16 : 4);
    SetCapacity(CheckedAdd(capacity_, delta));
}

WideString TWideStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].text;
}

void* TWideStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].object;
}

void TWideStringList::Put(int index, const WideString& s) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].text = s;
    Changed();
}

void TWideStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].object = object;
    Changed();
}

int TWideStringList::AddObject(const WideString& s, void* object) {
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == TDuplicates::dupIgnore)
            return index;
        if (duplicates_ == TDuplicates::dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, s, object);
    return index;
}

void TWideStringList::InsertObject(int index, const WideString& s, void* object) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        ListError(kIndexOutOfBounds, index);
    InsertItem(index, s, object);
}

void TWideStringList::InsertItem(int index, const WideString& s, void* object) {
    Changing();
    if (Count() == capacity_)
        Grow();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TWideStringList::AddStrings(const TWideStringList& strings) {
    BeginUpdate();
    for (int i = 0; i < strings.Count(); ++i)
        AddObject(strings.Get(i), strings.GetObject(i));
    EndUpdate();
}

void TWideStringList::AddAnsiStrings(const std::vector<std::string>& strings) {
    BeginUpdate();
    for (const std::string& s : strings)
        Add(text_.FromCodePage(s));
    EndUpdate();
}

void TWideStringList::Assign(const TWideStringList& source) {
    if (&source == this)
        return;
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

std::vector<std::string> TWideStringList::ToAnsiStrings() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const Item& item : items_)
        out.push_back(text_.ToCodePage(item.text));
    return out;
}

void TWideStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FreeObject(items_[static_cast<std::size_t>(index)].object);
    items_.erase(items_.begin() + index);
    Changed();
}

void TWideStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
    Changed();
}

void TWideStringList::Clear() {
    if (items_.empty())
        return;
    Changing();
    for (Item& item : items_)
        FreeObject(item.object);
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
    Changed();
}

bool TWideStringList::Find(const WideString& s, int& index) const {
    bool found = false;
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int c = text_.CompareText(items_[static_cast<std::size_t>(middle)].text, s);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != TDuplicates::dupAccept)
                    low = middle;
            }
        }
    }
    index = low;
    return found;
}

int TWideStringList::IndexOf(const WideString& s) const {
    if (sorted_) {
        int index = -1;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (text_.CompareText(items_[static_cast<std::size_t>(i)].text, s) == 0)
            return i;
    return -1;
}

void TWideStringList::Sort() {
    CustomSort([](const TWideStringList& list, int a, int b) {
        return list.text_.CompareText(list.items_[static_cast<std::size_t>(a)].text,
                                      list.items_[static_cast<std::size_t>(b)].text);
    });
}

void TWideStringList::CustomSort(const TCompare& compare) {
    if (sorted_ || Count() < 2)
        return;
    Changing();
    QuickSort(0, Count() - 1, compare);
    Changed();
}

// Hoare partition around the middle item, so that a list that is already in order sorts in n log n.
void TWideStringList::QuickSort(int low, int high, const TCompare& compare) {
    while (low < high) {
        int i = low;
        int j = high;
        int pivot = low + (high - low) / 2;
        while (i <= j) {
            while (compare(*this, i, pivot) < 0)
                ++i;
            while (compare(*this, j, pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        }
        // Recurse into the smaller side, loop over the larger one: the stack stays logarithmic.
        if (j - low < high - i) {
            QuickSort(low, j, compare);
            low = i;
        } else {
            QuickSort(i, high, compare);
            high = j;
        }
    }
}

void TWideStringList::SetSorted(bool sorted) {
    if (sorted == sorted_)
        return;
    if (sorted)
        Sort();
    sorted_ = sorted;
}

WideString TWideStringList::Text() const {
    WideString text;
    for (const Item& item : items_) {
        text += item.text;
        text += u"\r\n";
    }
    return text;
}

void TWideStringList::SetText(std::u16string_view text) {
    BeginUpdate();
    Clear();
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && !IsLineBreak(text[end]))
            ++end;
        Add(WideString(text.substr(at, end - at)));
        at = end;
        if (at < text.size()) {
            if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
                ++at;
            ++at;
        }
    }
    EndUpdate();
}

void TWideStringList::SetCommaText(std::u16string_view text) {
    BeginUpdate();
    Clear();
    const WideString owned(text); // zero-terminated for the quoted-text scan
    const char16_t* p = owned.c_str();
    auto skipBlanks = [&p] {
        while (*p >= 1 && *p <= 32)
            ++p;
    };
    skipBlanks();
    while (*p != 0) {
        if (*p == u'"') {
            Add(WideExtractQuotedStr(p, u'"'));
        } else {
            const char16_t* start = p;
            while (*p > 32 && *p != u',')
                ++p;
            Add(WideString(start, p));
        }
        skipBlanks();
        if (*p == u',') {
            ++p;
            skipBlanks();
        }
    }
    EndUpdate();
}

void TWideStringList::SaveToStream(TStream& stream) const {
    const WideString text = Text();
    std::string bytes = {'\xFF', '\xFE'};
    bytes.reserve(2 + text.size() * 2);
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

// Reads what is left of the stream: UTF-16 of either order behind its mark, else single-byte text. Fewer
// than two bytes cannot hold a mark and are single-byte text; an odd byte after UTF-16 units is dropped.
void TWideStringList::LoadFromStream(TStream& stream) {
    const std::int64_t size = stream.Size() - stream.Position();
    if (size <= 0) {
        SetText(u"");
        return;
    }
    std::string bytes(CheckedCast<std::size_t>(size), '\0');
    stream.ReadBuffer(bytes.data(), size);
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const bool littleEndian = bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE;
    const bool bigEndian = bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF;
    if (!littleEndian && !bigEndian) {
        SetText(text_.FromCodePage(bytes));
        return;
    }
    WideString text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned low = littleEndian ? byteAt(i) : byteAt(i + 1);
        const unsigned high = littleEndian ? byteAt(i + 1) : byteAt(i);
        text += static_cast<char16_t>(low | (high << 8));
    }
    SetText(text);
}

} // namespace tarvola
