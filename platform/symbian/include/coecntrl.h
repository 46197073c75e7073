// Controls: rectangular parts of an application's user interface that receive key
// events through the control stack and draw themselves.
// Windows and graphics contexts are not attached yet: DrawNow calls Draw directly.
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
  IMPORT_C void DrawDeferred() const;
  IMPORT_C void SetRect(const TRect& aRect);
  IMPORT_C void SetExtent(const TPoint& aPosition, const TSize& aSize);
  IMPORT_C void SetSize(const TSize& aSize);
  IMPORT_C void SetPosition(const TPoint& aPosition);
  IMPORT_C void SetFocus(TBool aFocus, TDrawNow aDrawNow = ENoDrawNow);
  IMPORT_C void SetObserver(MCoeControlObserver* aObserver);

  TRect Rect() const { return TRect(iPosition, iSize); }
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

  CCoeEnv* iCoeEnv;
  TPoint iPosition;
  TSize iSize;

private:
  enum { EActivated = 0x01, EInvisible = 0x02, EDimmed = 0x04, EFocused = 0x08 };
  TInt iFlags;
  MCoeControlObserver* iObserver;
};

#endif
