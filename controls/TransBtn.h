#pragma once
// The push button of the skinned windows: one glyph of an image list, an optional caption,
// and a thin 3-D frame while the pointer is over it or it is pressed. It has no background
// of its own: wherever it does not paint, the parent's picture shows through.
//
// Window thread only. The image list and the pop-up menu are plain references; the list must
// outlive the button, the menu reference clears itself when the menu is destroyed.
#include "framework/GraphicControl.h"
#include "framework/ImageList.h"
#include "framework/PopupMenu.h"

#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

class QPainter;

enum TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };

// Where the caption stands; the glyph takes the opposite side.
enum TTextAlign {
    ttaTopLeft,
    ttaTop,
    ttaTopRight,
    ttaRight,
    ttaBottomRight,
    ttaBottom,
    ttaBottomLeft,
    ttaLeft,
    ttaCenter
};

class TTransparentButton : public framework::TGraphicControl {
    Q_OBJECT
public:
    explicit TTransparentButton(QWidget* parent = nullptr, const std::string& name = {});

    // Assigning the list only stores it.
    framework::TImageList* ImageList() const { return imageList_; }
    void SetImageList(framework::TImageList* list) { imageList_ = list; }

    int ImageIndex() const { return imageIndex_; }
    // Stores and repaints every time, also when the value is unchanged.
    void SetImageIndex(int index);

    // How many consecutive glyphs from ImageIndex on belong to the button, 1 to 4; other
    // values are brought into that range.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);

    // Glyph chosen by hover and press. Only stored: takes effect at the next paint.
    bool ThreeState() const { return threeState_; }
    void SetThreeState(bool on) { threeState_ = on; }

    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle style);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

    // In fsExplorer style: the first glyph whenever the pointer is not over the button.
    bool AutoGray() const { return autoGray_; }
    void SetAutoGray(bool on) { autoGray_ = on; }

    // Pressed look: sunken frame and content moved by one pixel right and down.
    bool ShowPressed() const { return showPressed_; }
    void SetShowPressed(bool on) { showPressed_ = on; }

    // Latched pressed state: releases no longer lift the button. Repaints at once on change.
    bool Down() const { return down_; }
    void SetDown(bool down);

    // Frame width in pixels for the styles that use it.
    uint32_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(uint32_t width);

    // '&' marks the accelerator character ("&&" is a literal ampersand).
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign align);

    // Gap in pixels between the edge, the glyph and the caption.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);

    // The caption wraps within the button's width.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);

    // Dragging while pressed moves the button within its parent.
    bool Movable() const { return movable_; }
    void SetMovable(bool on) { movable_ = on; }

    // Dropped below the button on press.
    framework::TPopupMenu* PopUpMenu() const { return popUpMenu_.data(); }
    void SetPopUpMenu(framework::TPopupMenu* menu) { popUpMenu_ = menu; }

    // Takes no part in painting; kept for the forms that set it.
    QColor Color() const { return color_; }
    void SetColor(QColor color) { color_ = color; }

    // Pointer enters / leaves the button (only while enabled). Each runs guarded.
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;

    // Raises OnClick (guarded).
    void Click();

    // The run-time state, read-only, for the window's tests.
    bool Held() const { return held_; }
    bool Tracking() const { return tracking_; }
    bool DrawnPressed() const { return drawnPressed_; }
    bool PointerInside() const { return pointerInside_; }
    // Repaint and invalidate requests so far.
    int RepaintRequests() const { return repaintRequests_; }

protected:
    void Paint(QPainter& canvas) override;

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The button's own handling, in its own terms; the Qt events above translate into these.
    void MouseDown(framework::TMouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(framework::TMouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void PointerCrossed(bool inside);
    void Press(QMouseEvent* event);
    // Brings the pointer-over state in line with where the pointer is (see mouseMoveEvent).
    void SyncPointerOver(bool over);
    void GrabAccelerator();

    void RepaintNow();
    void Invalidate();
    // The setters that repaint only on a change: answers whether the value changed.
    template <typename T> bool StoreAndInvalidate(T& field, const T& value)
    {
        if (field == value)
            return false;
        field = value;
        Invalidate();
        return true;
    }

    // Painting, in TransBtnPaint.cpp.
    void PaintBackground(QPainter& canvas) const;
    void PaintPressed(QPainter& canvas) const;
    void PaintReleased(QPainter& canvas) const;
    int GlyphOffset() const;
    void PaintCaption(QPainter& canvas, const QRect& reference) const;

    framework::TImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    int numGlyphs_ = 1;
    bool threeState_ = false;
    TFrameStyle frameStyle_ = fsExplorer;
    bool transparent_ = true;
    bool autoGray_ = true;
    bool showPressed_ = true;
    bool down_ = false;
    uint32_t borderWidth_ = 1;
    std::string caption_;
    TTextAlign textAlign_ = ttaCenter;
    int spacing_ = 2;
    bool wordWrap_ = false;
    bool movable_ = false;
    QPointer<framework::TPopupMenu> popUpMenu_;
    QColor color_;

    bool held_ = false;          // a press is tracked from press to release
    bool tracking_ = false;      // the current press started inside (or Down is set)
    bool drawnPressed_ = false;  // painted in the pressed look
    bool pointerInside_ = false; // as the enter and leave notifications last said
    int pressX_ = 0, pressY_ = 0; // the press, in the button's pixels (only when Movable)

    bool clickPending_ = false; // a left press waits for its release to click
    bool pointerOver_ = false;  // where the pointer was last reported, enabled or not
    int acceleratorId_ = 0;     // the grabbed accelerator shortcut, 0 = none
    int repaintRequests_ = 0;
};
