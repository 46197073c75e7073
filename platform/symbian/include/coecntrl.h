// Controls: rectangular parts of an application's user interface that receive key
// events through the control stack and draw themselves.
//
// A control either owns a window (CreateWindowL) or draws into its container's window
// (SetContainerWindowL). Coordinates are those of the window: a window-owning control's
// Rect() starts at (0,0), a component's lies where it was placed in the window. Drawing
// goes through the environment's system graphics context (ActivateGc, SystemGc,
// DeactivateGc). The environment redraws the invalid areas of windows by calling Draw
// with the area to redraw, for the window's control and its components. A control with
// no window at all (none created or given) draws nothing but still has Draw called by
// DrawNow.
#ifndef COECNTRL_H
#define COECNTRL_H

#include <e32base.h>
#include <w32std.h>
#include <coedef.h>
#include <coecobs.h>

class CCoeEnv;

class CCoeControl : public CBase {
public:
  IMPORT_C CCoeControl();
  // Takes the control off the application's control stack if it is still there.
  IMPORT_C ~CCoeControl();

  // Default: the key is not consumed.
  IMPORT_C virtual TKeyResponse OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
  IMPORT_C virtual void MakeVisible(TBool aVisible);
  IMPORT_C virtual void SetDimmed(TBool aDimmed);
  IMPORT_C virtual void ActivateL();
  IMPORT_C virtual TInt CountComponentControls() const;
  IMPORT_C virtual CCoeControl* ComponentControl(TInt aIndex) const;
  IMPORT_C virtual TSize MinimumSize();

  // Draws the whole control now if it is activated and visible.
  IMPORT_C void DrawNow() const;
  // Marks the control's area of its window for a redraw by the environment (a control
  // without a window draws now).
  IMPORT_C void DrawDeferred() const;

  // Windows. CreateWindowL makes a window of this control in aParent's window, or in the
  // environment's window group; SetContainerWindowL makes the control draw into the
  // container's window.
  IMPORT_C void CreateWindowL();
  IMPORT_C void CreateWindowL(const CCoeControl* aParent);
  IMPORT_C void CreateWindowL(RWindowGroup& aParent);
  IMPORT_C void SetContainerWindowL(const CCoeControl& aContainer);
  IMPORT_C void CloseWindow();
  TBool OwnsWindow() const { return (iFlags & EOwnsWindow) != 0; }
  RDrawableWindow* DrawableWindow() const { return iWin; }
  // Marks aRect (window coordinates) of the control's window for a redraw.
  IMPORT_C void Invalidate(const TRect& aRect) const;
  // The framework's redraw of aRect (window coordinates): validates it and draws this
  // control and its components into it.
  IMPORT_C void HandleRedrawEvent(const TRect& aRect) const;
  IMPORT_C void SetRect(const TRect& aRect);
  IMPORT_C void SetExtent(const TPoint& aPosition, const TSize& aSize);
  IMPORT_C void SetSize(const TSize& aSize);
  IMPORT_C void SetPosition(const TPoint& aPosition);
  IMPORT_C void SetFocus(TBool aFocus, TDrawNow aDrawNow = ENoDrawNow);
  IMPORT_C void SetObserver(MCoeControlObserver* aObserver);

  TRect Rect() const { return OwnsWindow() ? TRect(TPoint(0, 0), iSize) : TRect(iPosition, iSize); }
  TSize Size() const { return iSize; }
  TPoint Position() const { return iPosition; }
  TBool IsVisible() const { return !(iFlags & EInvisible); }
  TBool IsActivated() const { return (iFlags & EActivated) != 0; }
  TBool IsDimmed() const { return (iFlags & EDimmed) != 0; }
  TBool IsFocused() const { return (iFlags & EFocused) != 0; }
  MCoeControlObserver* Observer() const { return iObserver; }
  CCoeEnv* ControlEnv() const { return iCoeEnv; }

protected:
  IMPORT_C virtual void Draw(const TRect& aRect) const;
  IMPORT_C virtual void SizeChanged();
  IMPORT_C virtual void PositionChanged();
  IMPORT_C virtual void FocusChanged(TDrawNow aDrawNow);
  IMPORT_C void ReportEventL(MCoeControlObserver::TCoeEvent aEvent);
  // Drawing outside a redraw: ActivateGc readies the system graphics context on the
  // control's window, DeactivateGc ends that.
  IMPORT_C void ActivateGc() const;
  IMPORT_C void DeactivateGc() const;
  IMPORT_C CWindowGc& SystemGc() const;
  RWindow& Window() const { return *static_cast<RWindow*>(iWin); }

  CCoeEnv* iCoeEnv;
  TPoint iPosition;
  TSize iSize;

private:
  enum { EActivated = 0x01, EInvisible = 0x02, EDimmed = 0x04, EFocused = 0x08, EOwnsWindow = 0x10 };
  void DrawComponents(const TRect& aRect) const;
  void CreateWindowInL(const RWindowTreeNode& aParent);
  TInt iFlags;
  MCoeControlObserver* iObserver;
  RDrawableWindow* iWin;  // owned when EOwnsWindow is set
};

#endif
