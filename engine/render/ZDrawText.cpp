// ZDrawText.cpp
//
// Drawing a text sprite through the off-screen bitmap's graphics context: the element's
// lines one under the other in its font and colour, cut and moved by the rectangle
// transitions on the whole box or line by line, shortened by the typewriter transitions,
// and shaken. Each line's clip is reported to the view as the area it changes.

#include <Zolvane.h>
#include <fbs.h>

#include "ZDrawCommon.h"

using namespace ZDraw;

namespace
    {
    // Transitions that cut or move every line in a strip of the font's height.
    TBool IsPerLine(TInt aTransition)
        {
        return (aTransition >= 53 && aTransition <= 60) || (aTransition >= 63 && aTransition <= 70);
        }

    TBool IsTypewriter(TInt aTransition)
        {
        return aTransition == 51 || aTransition == 52 || aTransition == 61 || aTransition == 62;
        }

    // Wrapping widths beyond this are cut for drawing: no view shows that much of a line,
    // and the transition arithmetic stays within 32 bits.
    const TInt KBoxWidthMax = 1 << 24;

    // The rectangle transition a per-line transition repeats on every line.
    TInt LineStepNumber(TInt aTransition)
        {
        switch (aTransition)
            {
            case 53: return 3;
            case 54: return 4;
            case 55: return 6;
            case 56: return 10;
            case 57: return 11;
            case 63: return 23;
            case 64: return 24;
            case 65: return 26;
            case 66: return 30;
            case 67: return 31;
            default: return aTransition;
            }
        }
    }

void CZView::DrawText(CZSprite* aSprite) const
    {
    CZElement* facade = aSprite->Element();
    if (!iPlayer || !iBitmapContext || !facade || !facade->Element() || facade->Element()->Type() != TEXT_ELEMENT)
        {
        return;
        }
    CZElementText* text = static_cast<CZElementText*>(facade->Element());
    text->Update();
    CFbsFont* font = text->Font();
    if (!font)
        {
        return;
        }
    const TInt lineH = text->LineHeight();
    const TInt fontH = font->HeightInPixels();
    const TInt lineFeedH = text->LineFeedHeight();

    const TInt transition = aSprite->Transition();
    const TInt time = aSprite->TransitionTime();
    const TInt phase = aSprite->TransitionPhase();
    const TBool perLine = IsPerLine(transition);
    const TPoint shake = (transition == 100) ? ShakeOffset() : TPoint(0, 0);

    // The box the lines are laid out in and the clip over it, both relative to the
    // text's top-left; per-line transitions work on a strip of one font height.
    TRect box(0, 0, text->Width() < KBoxWidthMax ? text->Width() : KBoxWidthMax, perLine ? fontH : text->Height());
    TRect clip = box;
    TransitionRectangles(box, clip, LineStepNumber(transition), time, phase);

    // Placed at the sprite's location (plus the player's offset), with the element's
    // registration point (not scaled: texts are drawn at their own size) on it.
    const TPoint reg = text->RegPoint();
    const TInt64 dx = static_cast<TInt64>(aSprite->X()) + shake.iX + iPlayer->LocX() - reg.iX;
    const TInt64 dy = static_cast<TInt64>(aSprite->Y()) + shake.iY + iPlayer->LocY() - reg.iY;
    box = MovedRect(box, dx, dy);
    clip = MovedRect(clip, dx, dy);

    TRect lineClipBase = clip;
    clip = Intersected(clip, iClipRect);

    // The typewriter transitions show a part of all the characters, counted over the lines.
    const TInt count = text->LineCount();
    TInt64 shown = 0;
    TInt64 hiddenPrefix = 0;
    const TBool typewriter = IsTypewriter(transition) && time != 0;
    if (typewriter)
        {
        TInt64 total = 0;
        for (TInt i = 0; i < count; i++)
            {
            TBool crlf;
            total += text->Line(i, crlf).Length();
            }
        const TInt64 shownPhase = (transition == 51 || transition == 52) ? phase : static_cast<TInt64>(time) - phase;
        const TInt64 part = total * shownPhase / time;
        shown = part;
        hiddenPrefix = total - part;
        }

    iBitmapContext->SetPenStyle(CGraphicsContext::ESolidPen);
    iBitmapContext->SetBrushStyle(CGraphicsContext::ENullBrush);
    iBitmapContext->SetPenColor(BlendedColor(text->Color(), aSprite->Blend()));
    iBitmapContext->UseFont(font);

    const TInt ascent = font->AscentInPixels();
    const CGraphicsContext::TTextAlign alignment = text->Alignment();
    TInt64 pos = 0;
    for (TInt i = 0; i < count; i++)
        {
        TBool crlf = EFalse;
        TPtrC line = text->Line(i, crlf);
        if (crlf)
            {
            if (perLine)
                {
                lineClipBase = MovedRect(lineClipBase, 0, lineFeedH);
                }
            box = MovedRect(box, 0, lineFeedH);
            }
        if (perLine)
            {
            clip = Intersected(lineClipBase, iClipRect);
            }
        const TInt64 length = line.Length();
        if (typewriter)
            {
            if (transition == 51 || transition == 61)
                {
                if (pos + length > shown)
                    {
                    line.Set(pos < shown ? line.Left(static_cast<TInt>(shown - pos)) : TPtrC());
                    }
                }
            else if (pos < hiddenPrefix)
                {
                line.Set(hiddenPrefix < pos + length ? line.Right(static_cast<TInt>(pos + length - hiddenPrefix)) : TPtrC());
                }
            }
        pos += length;

        if (!IsEmptyRect(clip))
            {
            aSprite->ViewDrawRect(clip);
            iBitmapContext->SetClippingRect(clip);
            iBitmapContext->DrawText(line, box, ascent, alignment, 0);
            iBitmapContext->CancelClippingRect();
            }

        if (perLine)
            {
            lineClipBase = MovedRect(lineClipBase, 0, lineH);
            }
        box = MovedRect(box, 0, lineH);
        }
    iBitmapContext->DiscardFont();
    }
