// ZView.cpp
//
// The view: the control the engine draws on. It keeps an off-screen bitmap of its own
// size, and optionally a back buffer holding the background and the bottom sprites that
// did not change, so that a frame can start from a copy instead of redrawing them. Each
// redraw draws the sprites above the buffered layer and copies the changed area (this
// frame's and last frame's moving sprites) to the window.

#include <Zolvane.h>
#include <coemain.h>

namespace
    {
    template <class T> inline T MinOf(T aA, T aB) { return aA < aB ? aA : aB; }
    template <class T> inline T MaxOf(T aA, T aB) { return aA < aB ? aB : aA; }

    // A rectangle with no area (width or height 0 or less).
    TBool IsEmptyRect(const TRect& aRect)
        {
        return aRect.Width() <= 0 || aRect.Height() <= 0;
        }

    // The smallest rectangle holding both; an empty one counts for nothing.
    TRect UnionRect(const TRect& aA, const TRect& aB)
        {
        if (IsEmptyRect(aA))
            {
            return aB;
            }
        if (IsEmptyRect(aB))
            {
            return aA;
            }
        return TRect(MinOf(aA.iTl.iX, aB.iTl.iX), MinOf(aA.iTl.iY, aB.iTl.iY),
                     MaxOf(aA.iBr.iX, aB.iBr.iX), MaxOf(aA.iBr.iY, aB.iBr.iY));
        }

    // Creates a bitmap of the view's size with its device and context.
    void CreateBufferL(TSize aSize, TDisplayMode aMode, CWsBitmap*& aBitmap, CFbsBitmapDevice*& aDevice, CFbsBitGc*& aContext)
        {
        CCoeEnv* env = CCoeEnv::Static();
        if (env && env->WsLink())
            {
            aBitmap = new (ELeave) CWsBitmap(env->WsSession());
            }
        else
            {
            aBitmap = new (ELeave) CWsBitmap();
            }
        User::LeaveIfError(aBitmap->Create(aSize, aMode));
        aDevice = CFbsBitmapDevice::NewL(aBitmap);
        User::LeaveIfError(aDevice->CreateContext(aContext));
        }
    }

CZView::CZView()
    {
    }

EXPORT_C CZView* CZView::NewL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer)
    {
    CZView* self = new (ELeave) CZView();
    CleanupStack::PushL(self);
    self->ConstructL(aRect, aParent, aBackBuffer);
    CleanupStack::Pop(self);
    return self;
    }

void CZView::ConstructL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer)
    {
    // The view draws into its parent's window. Without a parent (or a parent without a
    // window) it still draws into its off-screen bitmap, but copies nothing anywhere.
    if (aParent && aParent->DrawableWindow())
        {
        SetContainerWindowL(*aParent);
        }
    SetRect(aRect);
    CCoeEnv* env = CCoeEnv::Static();
    CWsScreenDevice* screen = env ? env->ScreenDevice() : NULL;
    // The drawing routines work on 16-bit words of the 4096-colour mode; that is the
    // screen's mode on the device and on this host.
    TDisplayMode mode = screen ? screen->DisplayMode() : EColor4K;
    if (mode != EColor4K)
        {
        mode = EColor4K;
        }

    iWidth = MaxOf(0, aRect.Width());
    iHeight = MaxOf(0, aRect.Height());
    const TSize size(iWidth, iHeight);
    CreateBufferL(size, mode, iOffScreenBitmap, iBitmapDevice, iBitmapContext);
    iOffScreenPixels = reinterpret_cast<TUint16*>(iOffScreenBitmap->DataAddress());
    iOffScreenStride = CFbsBitmap::ScanLineLength(iWidth, EColor4K) / 2;

    iBackBuffer = aBackBuffer;
    if (iBackBuffer)
        {
        CreateBufferL(size, mode, iDrawBufferBitmap, iDrawBufferDevice, iDrawBufferContext);
        }

    iDrawRect = Rect();
    iClipRect = TRect(0, 0, iWidth, iHeight);

    iScreenSize = screen ? screen->SizeInPixels() : TSize(640, 200);
    iFullScreen = (aRect == TRect(TPoint(0, 0), iScreenSize));
    // This host gives no access to screen memory: copies always go through the window.
    iScreenAddress = NULL;

    iForeground = EFalse;
    iOrdFull = (env && env->WsLink()) ? env->RootWin().OrdinalPosition() : 0;
    TTime now;
    now.HomeTime();
    iRandSeed = now.Int64();
    }

EXPORT_C CZView::~CZView()
    {
    delete iBitmapContext;
    delete iBitmapDevice;
    delete iOffScreenBitmap;
    delete iDrawBufferContext;
    delete iDrawBufferDevice;
    delete iDrawBufferBitmap;
    }

EXPORT_C void CZView::Update() const
    {
    iUpdateCount++;
    if (!DrawableWindow())
        {
        DrawView(TRect(0, 0, 0, 0));
        return;
        }
    Window().Invalidate(Rect());
    ActivateGc();
    Window().BeginRedraw(Rect());
    DrawView(TRect(0, 0, 0, 0));
    Window().EndRedraw();
    DeactivateGc();
    }

void CZView::Draw(const TRect& /*aRect*/) const
    {
    DrawView(TRect(0, 0, iWidth, iHeight));
    if (iPlayer)
        {
        // The window may have lost more than this redraw repairs in the window server's
        // eyes: the next three frames copy everything.
        iDrawRectFull = 3;
        }
    }

void CZView::DrawView(TRect aRect) const
    {
    if (!iPlayer)
        {
        return;
        }
    iDrawRect = iDrawRectOld;
    iDrawRectOld = TRect(0, 0, 0, 0);
    iBitmapContext->SetBrushColor(TRgb(static_cast<TUint32>(iPlayer->BgColor())));

    const TInt zBuffered = iPlayer->ZBuffered();
    const TInt zBufferedOld = iPlayer->ZBufferedOld();
    if (zBufferedOld == 0 || zBufferedOld < iPlayer->ZBufferStartOld())
        {
        iBitmapContext->Clear();
        aRect = TRect(0, 0, iWidth, iHeight);
        }
    else
        {
        CopyBitmap12b(iOffScreenBitmap, iDrawBufferBitmap);
        }

    TBool saved = EFalse;
    CArrayPtrFlat<CZSprite>* sprites = iPlayer->SpriteList();
    const TInt count = sprites ? sprites->Count() : 0;
    for (TInt i = 0; i < count; i++)
        {
        iCurrentSprite = i;
        if (i >= zBuffered && !saved)
            {
            if (zBuffered != zBufferedOld)
                {
                CopyBitmap12b(iDrawBufferBitmap, iOffScreenBitmap);
                }
            saved = ETrue;
            }
        if (i >= zBufferedOld)
            {
            DrawSprite(sprites->At(i));
            }
        }
    if (!saved && zBuffered != zBufferedOld)
        {
        CopyBitmap12b(iDrawBufferBitmap, iOffScreenBitmap);
        }

    if (aRect.Width() == 0)
        {
        aRect = iDrawRect;
        }
    if (iDrawRectFull > 0)
        {
        iDrawRectFull--;
        aRect = TRect(0, 0, iWidth, iHeight);
        }

    iLastCopyRect = aRect;
    if (iForeground && DirectCopyPossible())
        {
        DrawToScreen(aRect);
        }
    else if (DrawableWindow() && !IsEmptyRect(aRect))
        {
        const TRect rect = Rect();
        SystemGc().BitBlt(rect.iTl + aRect.iTl, iOffScreenBitmap, aRect);
        }
    iDrawRect = TRect(0, 0, 0, 0);
    }

TBool CZView::DirectCopyPossible() const
    {
    // Screen memory is never reachable on this host, so there is nothing to check
    // beyond the address.
    return iScreenAddress != NULL && iFullScreen;
    }

void CZView::ClipRectSet(TRect aClipRect) const
    {
    if (aClipRect.Width() >= 1 || aClipRect.Height() >= 1)
        {
        iClipRect = TRect(MaxOf(0, aClipRect.iTl.iX), MaxOf(0, aClipRect.iTl.iY),
                          MinOf(iWidth, aClipRect.iBr.iX), MinOf(iHeight, aClipRect.iBr.iY));
        }
    else
        {
        iClipRect = TRect(0, 0, iWidth, iHeight);
        }
    }

void CZView::DrawRectAdd(TRect aDrawRect) const
    {
    if (!iPlayer)
        {
        return;
        }
    iDrawRect = UnionRect(iDrawRect, aDrawRect);
    if (iCurrentSprite < iPlayer->ZBuffered())
        {
        return;
        }
    iDrawRectOld = UnionRect(iDrawRectOld, aDrawRect);
    }

void CZView::CopyBitmap12b(CWsBitmap* aTarget, CWsBitmap* aSource) const
    {
    if (!aTarget || !aSource || !aTarget->DataAddress() || !aSource->DataAddress())
        {
        return;
        }
    const TSize size = aSource->SizeInPixels();
    if (size != aTarget->SizeInPixels())
        {
        return;
        }
    const TInt words = CFbsBitmap::ScanLineLength(size.iWidth, EColor4K) / 4 * size.iHeight;
    WordCopy(aSource->DataAddress(), aTarget->DataAddress(), words);
    }

void CZView::DrawToScreen(TRect aClipRect) const
    {
    if (!iScreenAddress || !iOffScreenBitmap->DataAddress())
        {
        return;
        }
    const TInt left = MaxOf(0, aClipRect.iTl.iX);
    const TInt top = MaxOf(0, aClipRect.iTl.iY);
    const TInt right = MinOf(iScreenSize.iWidth, aClipRect.iBr.iX);
    const TInt bottom = MinOf(iScreenSize.iHeight, aClipRect.iBr.iY);
    if (right <= left || bottom <= top)
        {
        return;
        }
    const TInt rowWords = iScreenSize.iWidth / 2;
    TUint32* source = iOffScreenBitmap->DataAddress();
    for (TInt y = top; y < bottom; y++)
        {
        const TInt first = y * rowWords + left / 2;
        WordCopy(source + first, iScreenAddress + first, (right + 1) / 2 - left / 2);
        }
    }

EXPORT_C TKeyResponse CZView::OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType)
    {
    if (iPlayer && iPlayer->Controller())
        {
        return iPlayer->Controller()->OfferKeyEventL(aKeyEvent, aType);
        }
    return EKeyWasNotConsumed;
    }

EXPORT_C TInt CZView::Width()
    {
    return iWidth;
    }

EXPORT_C TInt CZView::Height()
    {
    return iHeight;
    }

EXPORT_C void CZView::Foreground(TBool aForeground)
    {
    iForeground = (iScreenAddress && iFullScreen) ? aForeground : EFalse;
    }

EXPORT_C TBool CZView::BackBuffer()
    {
    return iBackBuffer;
    }
