// Template_Script.cpp
//
// The Template application's script: the place for the application's own frame logic.
// It builds a small scene from the sprites' simple shapes (a ball bouncing round the
// screen and a box the arrow keys move), and the pause menu: a panel with a
// "continue" item (a triangle) and a "quit" item (a cross) and a frame round the
// selected one. Escape or losing the foreground opens the menu; while it is open
// the scene and any movie hold.

#include "Template.h"

namespace
    {
    // Sprite channels of the scene.
    const TInt KBallChannel = 1;
    const TInt KBoxChannel = 2;
    const TInt KGroundChannel = 3;

    // Sprite channels of the pause menu, the top ones.
    const TInt KMenuPanelChannel = 114;
    const TInt KMenuFrameChannel = 115;
    const TInt KMenuContinueFirstChannel = 116;    // three lines: the triangle
    const TInt KMenuQuitFirstChannel = 119;        // two lines: the cross
    const TInt KMenuLastChannel = 120;

    const TInt KBallSize = 16;
    const TInt KBoxWidth = 64;
    const TInt KBoxHeight = 12;
    const TInt KBoxStep = 8;
    const TInt KGroundY = KTemplateScreenHeight - 8;

    // The pause menu's panel and its two item rows.
    const TInt KMenuLeft = 220;
    const TInt KMenuRight = 420;
    const TInt KMenuTop = 50;
    const TInt KMenuBottom = 150;
    const TInt KMenuItemTop[CTemplateScript::EMenuItemCount] = { 58, 104 };
    const TInt KMenuItemHeight = 38;

    const TInt KColorBackground = 0x402010;     // red + green * 256 + blue * 65536
    const TRgb KColorBall(255, 220, 0);
    const TRgb KColorBox(0, 200, 80);
    const TRgb KColorGround(160, 160, 160);
    const TRgb KColorPanel(40, 40, 40);
    const TRgb KColorPanelEdge(255, 255, 255);
    const TRgb KColorGlyph(255, 255, 255);
    const TRgb KColorFrame(255, 220, 0);
    }

CTemplateScript* CTemplateScript::NewL()
    {
    CTemplateScript* self = new (ELeave) CTemplateScript;
    return self;
    }

CTemplateScript::CTemplateScript()
    : iBallX(40), iBallY(40), iBallDx(4), iBallDy(3),
      iBoxX((KTemplateScreenWidth - KBoxWidth) / 2), iBoxY(KGroundY - KBoxHeight - 4)
    {
    }

CTemplateScript::~CTemplateScript()
    {
    }

CZSprite* CTemplateScript::Sprite(TInt aChannel)
    {
    CZController* controller = Controller();
    if (!controller || aChannel > controller->ChannelCount())
        {
        return NULL;
        }
    return controller->Sprite(aChannel);
    }

void CTemplateScript::FrameBeginL(TInt /*aFrameNumber*/, TPtrC /*aMovie*/)
    {
    if (!iSceneReady)
        {
        SceneSetup();
        }
    if (iPaused)
        {
        return;
        }
    iFrames++;
    SceneUpdate();
    }

void CTemplateScript::FrameEndL(TInt /*aFrameNumber*/, TPtrC /*aMovie*/)
    {
    // Everything of a frame happens in FrameBeginL; this runs after the engine has
    // applied the movie's frame, before the view redraws.
    }

TKeyResponse CTemplateScript::KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType)
    {
    if (aType != EEventKey)
        {
        return EKeyWasNotConsumed;
        }
    if (iPaused)
        {
        switch (aKeyEvent.iCode)
            {
            case EKeyUpArrow:
            case EKeyLeftArrow:
                MenuSelect(iMenuSelection - 1);
                return EKeyWasConsumed;
            case EKeyDownArrow:
            case EKeyRightArrow:
                MenuSelect(iMenuSelection + 1);
                return EKeyWasConsumed;
            case EKeyEnter:
                MenuChooseL();
                return EKeyWasConsumed;
            case EKeyEscape:
                Continue();
                return EKeyWasConsumed;
            default:
                return EKeyWasNotConsumed;
            }
        }
    switch (aKeyEvent.iCode)
        {
        case EKeyLeftArrow:
            iBoxX -= KBoxStep;
            break;
        case EKeyRightArrow:
            iBoxX += KBoxStep;
            break;
        case EKeyEscape:
            Pause();
            return EKeyWasConsumed;
        default:
            return EKeyWasNotConsumed;
        }
    if (iBoxX < 0)
        {
        iBoxX = 0;
        }
    if (iBoxX > KTemplateScreenWidth - KBoxWidth)
        {
        iBoxX = KTemplateScreenWidth - KBoxWidth;
        }
    if (CZSprite* box = Sprite(KBoxChannel))
        {
        box->Loc(iBoxX, iBoxY);
        }
    return EKeyWasConsumed;
    }

TInt CTemplateScript::Decrypt(TPtr8 /*aBuffer*/, TPtrC /*aFileName*/)
    {
    // The application's files are stored as they are. An application that encrypts its
    // movies, pictures or data decodes the buffer here, in place.
    return KErrNone;
    }

void CTemplateScript::Pause()
    {
    if (iPaused || !Controller())
        {
        return;
        }
    if (!iSceneReady)
        {
        SceneSetup();
        }
    iPaused = ETrue;
    Controller()->MovieStop();
    MenuSelect(EMenuContinue);
    MenuShow(ETrue);
    }

void CTemplateScript::Continue()
    {
    if (!iPaused)
        {
        return;
        }
    iPaused = EFalse;
    MenuShow(EFalse);
    if (iMoviePlaying && Controller())
        {
        Controller()->MovieStart();
        }
    }

void CTemplateScript::SceneSetup()
    {
    CZController* controller = Controller();
    if (!controller)
        {
        return;
        }
    iSceneReady = ETrue;
    controller->BgColor(KColorBackground);

    if (CZSprite* ground = Sprite(KGroundChannel))
        {
        ground->Line(TPoint(0, KGroundY), TPoint(KTemplateScreenWidth - 1, KGroundY));
        ground->PenColor(KColorGround);
        ground->PenSize(TSize(2, 2));
        }
    if (CZSprite* box = Sprite(KBoxChannel))
        {
        box->Rectangle(TPoint(iBoxX, iBoxY), TPoint(iBoxX + KBoxWidth, iBoxY + KBoxHeight));
        box->PenStyle(CGraphicsContext::ENullPen);
        box->BrushStyle(CGraphicsContext::ESolidBrush);
        box->BrushColor(KColorBox);
        }
    if (CZSprite* ball = Sprite(KBallChannel))
        {
        ball->Ellipse(TPoint(iBallX, iBallY), TPoint(iBallX + KBallSize, iBallY + KBallSize));
        ball->PenStyle(CGraphicsContext::ENullPen);
        ball->BrushStyle(CGraphicsContext::ESolidBrush);
        ball->BrushColor(KColorBall);
        }

    // The pause menu, hidden until it is needed.
    if (CZSprite* panel = Sprite(KMenuPanelChannel))
        {
        panel->RoundRectangle(TPoint(KMenuLeft, KMenuTop), TPoint(KMenuRight, KMenuBottom), TSize(8, 8));
        panel->PenColor(KColorPanelEdge);
        panel->BrushStyle(CGraphicsContext::ESolidBrush);
        panel->BrushColor(KColorPanel);
        }
    if (CZSprite* frame = Sprite(KMenuFrameChannel))
        {
        frame->PenColor(KColorFrame);
        frame->PenSize(TSize(2, 2));
        frame->BrushStyle(CGraphicsContext::ENullBrush);
        }
    const TInt middle = (KMenuLeft + KMenuRight) / 2;
    const TInt continueY = KMenuItemTop[EMenuContinue] + KMenuItemHeight / 2;
    const TPoint triangle[3] =
        {
        TPoint(middle - 10, continueY - 12),
        TPoint(middle - 10, continueY + 12),
        TPoint(middle + 14, continueY)
        };
    for (TInt i = 0; i < 3; i++)
        {
        if (CZSprite* line = Sprite(KMenuContinueFirstChannel + i))
            {
            line->Line(triangle[i], triangle[(i + 1) % 3]);
            line->PenColor(KColorGlyph);
            line->PenSize(TSize(2, 2));
            }
        }
    const TInt quitY = KMenuItemTop[EMenuQuit] + KMenuItemHeight / 2;
    if (CZSprite* line = Sprite(KMenuQuitFirstChannel))
        {
        line->Line(TPoint(middle - 12, quitY - 12), TPoint(middle + 12, quitY + 12));
        line->PenColor(KColorGlyph);
        line->PenSize(TSize(2, 2));
        }
    if (CZSprite* line = Sprite(KMenuQuitFirstChannel + 1))
        {
        line->Line(TPoint(middle - 12, quitY + 12), TPoint(middle + 12, quitY - 12));
        line->PenColor(KColorGlyph);
        line->PenSize(TSize(2, 2));
        }
    MenuShow(EFalse);
    }

void CTemplateScript::SceneUpdate()
    {
    iBallX += iBallDx;
    iBallY += iBallDy;
    if (iBallX < 0 || iBallX > KTemplateScreenWidth - KBallSize)
        {
        iBallDx = -iBallDx;
        iBallX += 2 * iBallDx;
        }
    if (iBallY < 0 || iBallY > KGroundY - KBallSize)
        {
        iBallDy = -iBallDy;
        iBallY += 2 * iBallDy;
        }
    CZSprite* ball = Sprite(KBallChannel);
    if (!ball)
        {
        return;
        }
    ball->Loc(iBallX, iBallY);
    // The ball bounces off the top of the box.
    CZSprite* box = Sprite(KBoxChannel);
    if (box && iBallDy > 0 && ball->Intersects(box))
        {
        iBallDy = -iBallDy;
        }
    }

void CTemplateScript::MenuShow(TBool aVisible)
    {
    CZController* controller = Controller();
    for (TInt channel = KMenuPanelChannel; channel <= KMenuLastChannel; channel++)
        {
        CZSprite* sprite = Sprite(channel);
        if (!sprite)
            {
            continue;
            }
        if (aVisible && controller)
            {
            // On top of everything else, in channel order.
            sprite->LocZ(controller->LocZMax() + 1);
            }
        sprite->Visible(aVisible);
        }
    }

void CTemplateScript::MenuSelect(TInt aItem)
    {
    if (aItem < 0)
        {
        aItem = EMenuItemCount - 1;
        }
    if (aItem >= EMenuItemCount)
        {
        aItem = 0;
        }
    iMenuSelection = aItem;
    if (CZSprite* frame = Sprite(KMenuFrameChannel))
        {
        const TInt top = KMenuItemTop[aItem];
        frame->Rectangle(TPoint(KMenuLeft + 10, top), TPoint(KMenuRight - 10, top + KMenuItemHeight));
        }
    }

void CTemplateScript::MenuChooseL()
    {
    switch (iMenuSelection)
        {
        case EMenuContinue:
            Continue();
            break;
        case EMenuQuit:
            if (Controller() && Controller()->AppUi())
                {
                Controller()->AppUi()->HandleCommandL(EEikCmdExit);
                }
            break;
        default:
            break;
        }
    }
