// DemoScript.cpp
//
// The Demo application's script. On its first frame it starts the movie list in
// movies.lst with looping on. Whenever a movie is over it clears every channel before
// the engine loads the next one, so that no sprite holds on to the old movie's elements
// and the engine can free them. While the movie "garden" plays, the script runs a small
// game on a map of tiles: the hero walks with the arrow keys, stops and shakes at hedges,
// and collects stars; after a few seconds without a key it walks on its own.
//
// Game data, read once and kept for every later pass of the list:
// - Data\level.txt: 16 x 5 tile numbers (0 grass, 1 hedge, 2 flowers, 3 sand path);
// - Data\items.csv: rows "kind;x;y;points", kind "hero" (its start) or "star";
// - Pictures\tiles.mbm (the four tiles), Pictures\game.mbm (hero, star, small star);
// - Sounds\pickup.wav, Sounds\bump.wav.

#include "Demo.h"

namespace
    {
    _LIT(KMovieList, "movies.lst");
    _LIT(KGameMovie, "garden");

    _LIT(KTilesFile, "tiles.mbm");
    _LIT(KTilesName, "tile");
    _LIT(KGameFile, "game.mbm");
    _LIT(KGameName, "game");
    _LIT(KHeroBitmap, "game_bmp_1");
    _LIT(KStarBitmap, "game_bmp_2");
    _LIT(KPipBitmap, "game_bmp_3");
    _LIT(KPickupFile, "pickup.wav");
    _LIT(KPickupSound, "game_pickup");
    _LIT(KBumpFile, "bump.wav");
    _LIT(KBumpSound, "game_bump");
    _LIT(KLevelFile, "level.txt");
    _LIT(KItemsFile, "items.csv");
    _LIT(KMapName, "game_map");
    _LIT(KScoreName, "game_score");
    _LIT(KScoreHeader, "BHd Fnt Arial 14 B Alg Rt R 150 20 Clr 16777215 EHd ");
    _LIT(KScoreLabel, "Score ");
    _LIT(KKindHero, "hero");
    _LIT(KKindStar, "star");

    // The map: 16 x 5 tiles of 40 x 40 pixels fill the screen.
    const TInt KMapColumns = 16;
    const TInt KMapRows = 5;
    const TInt KTileSize = 40;
    const TInt KTileKinds = 4;
    const TInt KTileHedge = 1;

    const TInt KHeroSize = 24;
    const TInt KKeyStep = 8;            // pixels per arrow key
    const TInt KAutoStep = 4;           // pixels per frame on autopilot
    const TInt KDetourFrames = 10;
    const TInt KRespawnFrames = 40;
    const TInt KShakeFrames = 6;
    const TInt KPipSpacing = 14;
    const TInt KPipCount = CDemoScript::EChannelPipLast - CDemoScript::EChannelPipFirst + 1;

    TInt Sign(TInt aValue)
        {
        return aValue > 0 ? 1 : (aValue < 0 ? -1 : 0);
        }

    TInt Abs(TInt aValue)
        {
        return aValue < 0 ? -aValue : aValue;
        }

    TInt StepTowards(TInt aFrom, TInt aTo, TInt aStep)
        {
        const TInt d = aTo - aFrom;
        return Abs(d) < aStep ? d : Sign(d) * aStep;
        }
    }

CDemoScript* CDemoScript::NewL()
    {
    return new (ELeave) CDemoScript;
    }

CDemoScript::CDemoScript()
    {
    }

CDemoScript::~CDemoScript()
    {
    delete iFirstMovie;
    delete iLastMovie;
    }

CZSprite* CDemoScript::Sprite(TInt aChannel)
    {
    CZController* controller = Controller();
    return controller ? controller->Sprite(aChannel) : NULL;
    }

void CDemoScript::FrameBeginL(TInt /*aFrameNumber*/, TPtrC aMovie)
    {
    CZController* controller = Controller();
    if (!controller)
        {
        return;
        }
    iFrames++;
    if (!iStarted)
        {
        StartL();
        return;
        }

    // Count the passes through the list: each time its first movie comes back.
    if (aMovie.Length() > 0)
        {
        if (!iFirstMovie)
            {
            iFirstMovie = aMovie.AllocL();
            }
        if (!iLastMovie || iLastMovie->CompareF(aMovie) != 0)
            {
            if (iLastMovie && iFirstMovie->CompareF(aMovie) == 0)
                {
                iPasses++;
                }
            HBufC* name = aMovie.AllocL();
            delete iLastMovie;
            iLastMovie = name;
            }
        }

    // The engine loads the next movie in this frame: clear the stage first.
    if (controller->MovieIsOver() && controller->MovieLoop())
        {
        GameEnd();
        ChannelsClear(1, controller->ChannelCount());
        return;
        }

    if (aMovie.CompareF(KGameMovie) == 0)
        {
        if (!iGameActive && !iGameDataFailed)
            {
            GameSetupL();
            }
        if (iGameActive)
            {
            GameUpdate();
            }
        }
    }

void CDemoScript::FrameEndL(TInt /*aFrameNumber*/, TPtrC /*aMovie*/)
    {
    // Everything happens in FrameBeginL, before the movie's frame is applied.
    }

TKeyResponse CDemoScript::KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType)
    {
    if (aType != EEventKey)
        {
        return EKeyWasNotConsumed;
        }
    if (aKeyEvent.iCode == EKeyEscape)
        {
        if (Controller() && Controller()->AppUi())
            {
            Controller()->AppUi()->HandleCommandL(EEikCmdExit);
            }
        return EKeyWasConsumed;
        }
    if (!iGameActive)
        {
        return EKeyWasNotConsumed;
        }
    TInt dx = 0;
    TInt dy = 0;
    switch (aKeyEvent.iCode)
        {
        case EKeyLeftArrow:
            dx = -KKeyStep;
            break;
        case EKeyRightArrow:
            dx = KKeyStep;
            break;
        case EKeyUpArrow:
            dy = -KKeyStep;
            break;
        case EKeyDownArrow:
            dy = KKeyStep;
            break;
        default:
            return EKeyWasNotConsumed;
        }
    iIdleFrames = 0;
    iDetour = 0;
    HeroStep(dx, dy, ETrue);
    return EKeyWasConsumed;
    }

TInt CDemoScript::Decrypt(TPtr8 /*aBuffer*/, TPtrC /*aFileName*/)
    {
    // The Demo's files are stored as they are.
    return KErrNone;
    }

void CDemoScript::StartL()
    {
    CZController* controller = Controller();
    iStarted = ETrue;
    controller->MovieLoop(ETrue);
    controller->LoadFileMovieListL(KMovieList());
    controller->MovieStart();
    }

void CDemoScript::ChannelsClear(TInt aFirst, TInt aLast)
    {
    for (TInt channel = aFirst; channel <= aLast; channel++)
        {
        if (CZSprite* sprite = Sprite(channel))
            {
            sprite->Clear();
            }
        }
    }

// ---------------------------------------------------------------------------------------
// The garden game

void CDemoScript::GameDataLoadL()
    {
    CZController* controller = Controller();
    // Everything the game loads stays loaded (unload flag off): the next pass of the
    // movie list finds it again.
    controller->LoadFileImageL(KTilesFile(), KTilesName(), EFalse);
    controller->LoadFileImageL(KGameFile(), KGameName(), EFalse);
    controller->LoadFileWavL(KPickupFile(), KPickupSound(), EFalse);
    controller->LoadFileWavL(KBumpFile(), KBumpSound(), EFalse);
    if (!controller->LoadFileArrayL(KLevelFile(), KMapColumns, KMapRows))
        {
        User::Leave(KErrCorrupt);
        }
    if (!controller->LoadFileCSVL(KItemsFile()))
        {
        User::Leave(KErrCorrupt);
        }

    // The items and the hero's start from the table.
    iItemCount = 0;
    for (TInt row = 0; row < controller->CSVRowCount(); row++)
        {
        TInt error = 0;
        const TPtrC kind = controller->CSVCell(0, row, &error);
        if (error)
            {
            continue;
            }
        const TInt x = controller->CSVCellInt(1, row, &error);
        const TInt y = error ? 0 : controller->CSVCellInt(2, row, &error);
        const TInt points = error ? 0 : controller->CSVCellInt(3, row, &error);
        if (error)
            {
            continue;
            }
        if (kind.CompareF(KKindHero) == 0)
            {
            iHeroStart = TPoint(x, y);
            }
        else if (kind.CompareF(KKindStar) == 0 && iItemCount < KItemMax)
            {
            iItemPos[iItemCount] = TPoint(x, y);
            iItemPoints[iItemCount] = points;
            iItemCount++;
            }
        }

    // The map: one bitmap array whose cells show the tiles the level names.
    CZElement* map = controller->ElementBitmapArrayAdd(KMapColumns, KMapRows, KMapName());
    if (!map)
        {
        User::Leave(KErrNoMemory);
        }
    map->Unload(EFalse);
    for (TInt row = 0; row < KMapRows; row++)
        {
        for (TInt column = 0; column < KMapColumns; column++)
            {
            TInt kind = controller->ArrayValue(column, row);
            if (kind < 0 || kind >= KTileKinds)
                {
                kind = 0;
                }
            TBuf<16> name(KTilesName);
            name.Append(_L("_bmp_"));
            name.AppendNum(kind + 1);
            map->Bitmap(column, row, controller->Element(name));
            }
        }

    // The score, as a text in the top right corner.
    TBuf<96> score(KScoreHeader);
    score.Append(KScoreLabel);
    score.AppendNum(0);
    CZElement* text = controller->ElementTextAdd(score, KScoreName());
    if (!text)
        {
        User::Leave(KErrNoMemory);
        }
    text->Unload(EFalse);
    iGameDataLoaded = ETrue;
    }

void CDemoScript::GameSetupL()
    {
    CZController* controller = Controller();
    if (!iGameDataLoaded)
        {
        TRAPD(error, GameDataLoadL());
        if (error != KErrNone)
            {
            // Without its files the game stays out; the movies go on.
            iGameDataFailed = ETrue;
            return;
            }
        }
    iGameActive = ETrue;
    iScore = 0;
    iCollected = 0;
    iIdleFrames = 0;
    iRespawnIn = 0;
    iDetour = 0;
    iHero = iHeroStart;

    if (CZSprite* map = Sprite(EChannelMap))
        {
        map->Element(controller->Element(KMapName()));
        map->Size(KMapColumns * KTileSize, KMapRows * KTileSize);
        map->Loc(0, 0);
        }
    if (CZSprite* hero = Sprite(EChannelHero))
        {
        hero->Element(controller->Element(KHeroBitmap()));
        hero->Mask(ETrue);
        hero->Loc(iHero.iX, iHero.iY);
        }
    if (CZSprite* score = Sprite(EChannelScore))
        {
        score->Element(controller->Element(KScoreName()));
        score->Loc(KDemoScreenWidth - 160, 4);
        }
    ItemsPlace();
    ScoreShow();
    }

void CDemoScript::GameEnd()
    {
    iGameActive = EFalse;
    }

void CDemoScript::ItemsPlace()
    {
    CZElement* star = Controller()->Element(KStarBitmap());
    for (TInt i = 0; i < iItemCount; i++)
        {
        iItemTaken[i] = EFalse;
        if (CZSprite* item = Sprite(EChannelItemFirst + i))
            {
            item->Element(star);
            item->Mask(ETrue);
            item->Loc(iItemPos[i].iX, iItemPos[i].iY);
            item->Transition(12, 10);
            }
        }
    }

TBool CDemoScript::Blocked(TInt aX, TInt aY)
    {
    if (aX < 0 || aY < 0 || aX + KHeroSize > KDemoScreenWidth || aY + KHeroSize > KDemoScreenHeight)
        {
        return ETrue;
        }
    CZController* controller = Controller();
    for (TInt row = aY / KTileSize; row <= (aY + KHeroSize - 1) / KTileSize; row++)
        {
        for (TInt column = aX / KTileSize; column <= (aX + KHeroSize - 1) / KTileSize; column++)
            {
            if (controller->ArrayValue(column, row) == KTileHedge)
                {
                return ETrue;
                }
            }
        }
    return EFalse;
    }

TBool CDemoScript::HeroStep(TInt aDx, TInt aDy, TBool aByKey)
    {
    const TInt x = iHero.iX + aDx;
    const TInt y = iHero.iY + aDy;
    CZSprite* hero = Sprite(EChannelHero);
    if (Blocked(x, y))
        {
        if (aByKey)
            {
            // A bump: the hero stays, shakes and thuds.
            iBumps++;
            if (hero)
                {
                hero->Transition(100, KShakeFrames);
                }
            SoundPlay(KBumpSound());
            }
        return EFalse;
        }
    iHero = TPoint(x, y);
    if (hero)
        {
        hero->Loc(x, y);
        }
    ItemsCollect();
    return ETrue;
    }

void CDemoScript::ItemsCollect()
    {
    CZSprite* hero = Sprite(EChannelHero);
    if (!hero)
        {
        return;
        }
    TBool any = EFalse;
    for (TInt i = 0; i < iItemCount; i++)
        {
        CZSprite* item = Sprite(EChannelItemFirst + i);
        if (iItemTaken[i] || !item || !hero->Intersects(item))
            {
            continue;
            }
        iItemTaken[i] = ETrue;
        item->Clear();
        iScore += iItemPoints[i];
        const TInt pip = iCollected % KPipCount;
        if (pip == 0)
            {
            ChannelsClear(EChannelPipFirst, EChannelPipLast);
            }
        iCollected++;
        if (CZSprite* sprite = Sprite(EChannelPipFirst + pip))
            {
            sprite->Element(Controller()->Element(KPipBitmap()));
            sprite->Mask(ETrue);
            sprite->Loc(6 + pip * KPipSpacing, KDemoScreenHeight - 16);
            sprite->Transition(7, 4);
            }
        any = ETrue;
        }
    if (!any)
        {
        return;
        }
    SoundPlay(KPickupSound());
    ScoreShow();
    TBool left = EFalse;
    for (TInt i = 0; i < iItemCount; i++)
        {
        left = left || !iItemTaken[i];
        }
    if (!left)
        {
        iRespawnIn = KRespawnFrames;
        }
    }

void CDemoScript::GameUpdate()
    {
    if (iRespawnIn > 0 && --iRespawnIn == 0)
        {
        ItemsPlace();
        }
    iIdleFrames++;
    if (iIdleFrames > KAutopilotDelay)
        {
        Autopilot();
        }
    }

void CDemoScript::Autopilot()
    {
    if (iDetour > 0)
        {
        iDetour--;
        if (HeroStep(iDetourDx, iDetourDy, EFalse))
            {
            return;
            }
        iDetour = 0;
        }
    // Head for the nearest star that is still there.
    const TPoint centre(iHero.iX + KHeroSize / 2, iHero.iY + KHeroSize / 2);
    TInt best = -1;
    TInt bestDistance = 0;
    for (TInt i = 0; i < iItemCount; i++)
        {
        if (iItemTaken[i])
            {
            continue;
            }
        const TInt distance = Abs(iItemPos[i].iX + 10 - centre.iX) + Abs(iItemPos[i].iY + 10 - centre.iY);
        if (best < 0 || distance < bestDistance)
            {
            best = i;
            bestDistance = distance;
            }
        }
    if (best < 0)
        {
        return;
        }
    const TInt dx = StepTowards(centre.iX, iItemPos[best].iX + 10, KAutoStep);
    const TInt dy = StepTowards(centre.iY, iItemPos[best].iY + 10, KAutoStep);
    const TBool horizontalFirst = Abs(iItemPos[best].iX + 10 - centre.iX) >= Abs(iItemPos[best].iY + 10 - centre.iY);
    if (horizontalFirst ? (dx != 0 && HeroStep(dx, 0, EFalse)) : (dy != 0 && HeroStep(0, dy, EFalse)))
        {
        return;
        }
    if (horizontalFirst ? (dy != 0 && HeroStep(0, dy, EFalse)) : (dx != 0 && HeroStep(dx, 0, EFalse)))
        {
        return;
        }
    // Both ways are blocked by a hedge: go round it sideways for a while, turning
    // the other way each time.
    const TInt side = (iFrames / KDetourFrames) % 2 ? 1 : -1;
    iDetourDx = horizontalFirst ? 0 : side * KAutoStep;
    iDetourDy = horizontalFirst ? side * KAutoStep : 0;
    iDetour = KDetourFrames;
    }

void CDemoScript::ScoreShow()
    {
    CZElement* text = Controller()->Element(KScoreName());
    if (!text)
        {
        return;
        }
    TBuf<32> score(KScoreLabel);
    score.AppendNum(iScore);
    text->Text(score);
    }

void CDemoScript::SoundPlay(const TDesC& aName)
    {
    if (CZElement* sound = Controller()->Element(aName))
        {
        sound->SoundPlay();
        }
    }
