// TWideStringList: a list of UTF-16 strings, each with an optional object reference, with the usual
// string-list rules (sorted lists, duplicates, change events) and its text file format.
//
// Text files: saved as UTF-16LE behind the mark FF FE, every line ending in CR LF. Loaded as UTF-16 when a
// mark of either byte order leads the data, as single-byte text of the system's code page otherwise. Lines
// break at LF, VT, FF, CR, U+2028 and U+2029, CR LF counting as one break.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {

class TStream;

class EStringListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TWideStringList {
public:
    using TNotifyEvent = std::function<void()>;
    using TCompare = std::function<int(const TWideStringList&, int, int)>;
    // Frees an object the list owns (the list's owns-objects rule); unset, objects are only referenced.
    using TObjectDeleter = std::function<void(void*)>;

    explicit TWideStringList(const TWideTextServices& text = PlatformText());
    TWideStringList(const TWideStringList&) = delete;
    TWideStringList& operator=(const TWideStringList&) = delete;
    ~TWideStringList();

    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return capacity_; }
    void SetCapacity(int capacity);

    WideString Get(int index) const;
    void Put(int index, const WideString& s);
    void* GetObject(int index) const;
    void PutObject(int index, void* object);

    int Add(const WideString& s) { return AddObject(s, nullptr); }
    int AddObject(const WideString& s, void* object);
    void AddStrings(const TWideStringList& strings);
    // Single-byte strings of the system's code page, converted.
    void AddAnsiStrings(const std::vector<std::string>& strings);
    void Assign(const TWideStringList& source);
    // The strings converted to the system's code page.
    std::vector<std::string> ToAnsiStrings() const;

    void Insert(int index, const WideString& s) { InsertObject(index, s, nullptr); }
    void InsertObject(int index, const WideString& s, void* object);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Clear();

    // Binary search of a sorted list; found or not, index is the position or the insertion point.
    bool Find(const WideString& s, int& index) const;
    int IndexOf(const WideString& s) const;
    void Sort();
    void CustomSort(const TCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    void SetObjectDeleter(TObjectDeleter deleter) { deleter_ = std::move(deleter); }

    // Every string followed by CR LF.
    WideString Text() const;
    void SetText(std::u16string_view text);
    void SetCommaText(std::u16string_view text);

    void BeginUpdate();
    void EndUpdate();

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // Files by UTF-16 name (Windows only). Saving writes a temporary file beside the target and puts it in
    // place only when it is complete.
    void LoadFromFile(const WideString& fileName);
    void SaveToFile(const WideString& fileName) const;

    const TWideTextServices& TextServices() const { return text_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

private:
    struct Item {
        WideString text;
        void* object = nullptr;
    };

    void Changing();
    void Changed();
    void CheckIndex(int index) const;
    void Grow();
    void InsertItem(int index, const WideString& s, void* object);
    void FreeObject(void* object);
    void QuickSort(int low, int high, const TCompare& compare);

    const TWideTextServices& text_;
    std::vector<Item> items_;
    int capacity_ = 0;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
    int updateCount_ = 0;
    TObjectDeleter deleter_;
};

} // namespace tarvola
