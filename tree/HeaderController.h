// The header's mouse and keyboard rules: clicks, double clicks that fit a column to its content, the context
// menu, resizing a column by its border and moving a column by dragging it, with the hot and pressed cells
// kept current by a timer. The controller decides; the window decodes its messages into THeaderInput and
// lends the controller a narrow port (capture, cursor, timers, the drag image).
#pragma once

#include "tree/Header.h"

namespace tarvola {

constexpr unsigned HeaderTimer = 3;
constexpr unsigned HeaderTimerInterval = 50;

enum class THeaderCursor : std::uint8_t { Default, Split };

class IHeaderPort {
public:
    virtual ~IHeaderPort() = default;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetCursor(THeaderCursor cursor) = 0;
    virtual void StartTimer(unsigned id, unsigned milliseconds) = 0;
    virtual void StopTimer(unsigned id) = 0;
    // Whether a screen point lies in the tree's window rectangle.
    virtual bool ScreenPointInWindow(TVTPoint screen) const = 0;
    // Whether the mouse pointer is over the header now.
    virtual bool MouseInHeader() const = 0;
    // How far the mouse must move from the press before a drag starts (either direction).
    virtual TVTPoint DragThreshold() const { return TVTPoint{4, 4}; }
    // A press in the header ends the tree's own pending mouse work (hint, scroll and edit timers).
    virtual void CancelTreeMouseWork() {}
    // The image that follows a dragged column.
    virtual void ShowDragImage(TColumnIndex /*column*/, TVTPoint /*hotSpotScreen*/) {}
    virtual void MoveDragImage(TVTPoint /*screen*/) {}
    virtual void EndDragImage() {}
};

enum class THeaderMessage : std::uint8_t {
    NCButtonDown,
    NCButtonUp,
    ButtonUp, // captured release in the client area
    NCDblClick,
    NCMouseMove,
    MouseMove, // captured move
    SetCursor,
    Timer,
    Size,
    CancelKey, // Escape
    KillFocus,
};

// One decoded message. Client is the point in the tree's client coordinates (the header lies at negative
// y); Screen the same point on the screen.
struct THeaderInput {
    THeaderMessage Message = THeaderMessage::NCMouseMove;
    TMouseButton Button = TMouseButton::mbLeft;
    TVTPoint Client;
    TVTPoint Screen;
    TShiftState Shift = 0;
    unsigned TimerId = 0;
};

// Handled: the tree must not handle the message further; Result is then the message's answer.
struct THeaderAnswer {
    bool Handled = false;
    long Result = 0;
    bool operator==(const THeaderAnswer&) const = default;
};

class THeaderController {
public:
    THeaderController(TVTHeader& header, IHeaderPort& port) : header_(header), port_(port) {}

    THeaderAnswer Handle(const THeaderInput& input);

    // The position a dragged column takes when dropped on target (left half: dropBefore).
    static int DropPosition(int oldPosition, int targetPosition, bool dropBefore);

private:
    THeaderAnswer ButtonDown(const THeaderInput& input);
    THeaderAnswer ButtonUp(const THeaderInput& input);
    THeaderAnswer RightOrMiddleUp(const THeaderInput& input);
    THeaderAnswer DblClick(const THeaderInput& input);
    THeaderAnswer NCMouseMove(const THeaderInput& input);
    THeaderAnswer CapturedMouseMove(const THeaderInput& input);
    THeaderAnswer SetCursor(const THeaderInput& input);
    THeaderAnswer Timer(const THeaderInput& input);
    THeaderAnswer Cancel();
    void FinishDrag(const THeaderInput& input);
    void PrepareDrag(TColumnIndex pressed, TVTPoint client, TVTPoint start);
    void DragTo(TVTPoint client, TVTPoint screen);
    bool BeyondDragThreshold(TVTPoint screen) const;
    TVTPoint InHeaderCoordinates(TVTPoint client) const {
        return TVTPoint{client.X, client.Y + header_.Height()};
    }
    TVirtualTreeColumns& Columns() const { return header_.Columns(); }
    void Enter(std::uint8_t states) { header_.states_ |= states; }
    void Leave(std::uint8_t states) { header_.states_ &= static_cast<std::uint8_t>(~states); }
    bool In(std::uint8_t state) const { return (header_.states_ & state) != 0; }

    TVTHeader& header_;
    IHeaderPort& port_;
};

} // namespace tarvola
