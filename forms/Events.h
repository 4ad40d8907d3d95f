// The small vocabulary every forms unit shares: the root object, event signatures, modifier keys and modal
// results. Kept free of <windows.h> so that it can be read on its own.
#pragma once

#include <concepts>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace tarvola {

// Root of everything that is handed to an event as its sender.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// Modifier keys and mouse buttons held during an input event.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The result of a modal form or message dialog. The values equal the IDOK... identifiers of Win32.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

// What closing a form does with it (the form's OnClose may change it).
enum class TCloseAction { caNone, caHide, caMinimize };

using TNotifyEvent = std::function<void(TObject& sender)>;
using TMouseMoveEvent = std::function<void(TObject& sender, TShiftState shift, int x, int y)>;
using TMouseEvent =
    std::function<void(TObject& sender, TMouseButton button, TShiftState shift, int x, int y)>;
// Key is the typed character; setting it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject& sender, char& key)>;
// Key is the virtual-key code; setting it to 0 swallows it.
using TKeyEvent = std::function<void(TObject& sender, unsigned short& key, TShiftState shift)>;
using TCloseEvent = std::function<void(TObject& sender, TCloseAction& action)>;

// Binds an event to a member function of an object: Bind(Btn_OK->OnClick, this, &TMyForm::OK_Click). The
// compiler checks that the function exists and that its parameters are the event's.
template <class Object, class Class, class... Args>
requires std::derived_from<Object, Class>
void Bind(std::function<void(TObject&, Args...)>& event, Object* object,
          void (Class::*method)(TObject&, Args...)) {
    Class* target = object;
    event = [target, method](TObject& sender, Args... args) {
        (target->*method)(sender, std::forward<Args>(args)...);
    };
}

} // namespace tarvola
