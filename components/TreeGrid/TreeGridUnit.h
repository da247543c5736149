#pragma once
// Start and end of the tree-grid unit: the shared image lists, cursors and
// clipboard formats. Nothing is made by a global constructor: the first call
// of any accessor below (or of InitializeGlobalStructures) builds it all,
// once, from whichever thread gets there first; the rest wait for it.
#include "components/TreeGrid/TreeGridClipboardFormats.h"
#include "components/TreeGrid/TreeGridImages.h"

// Builds the unit's shared objects unless they exist. Safe to call often.
void InitializeGlobalStructures();
// Frees the image lists and cursors; the next accessor builds them again.
// The clipboard formats stay registered for the life of the process.
void FinalizeGlobalStructures();
bool TreeGridUnitInitialized();

// The check image lists, the utility images and the two system sets
// (normal and flat look).
TTGImageList* LightCheckImages();
TTGImageList* DarkCheckImages();
TTGImageList* LightTickImages();
TTGImageList* DarkTickImages();
TTGImageList* FlatImages();
TTGImageList* XPImages();
TTGImageList* UtilityImages();
TTGImageList* SystemCheckImages();
TTGImageList* SystemFlatCheckImages();

// The splitter cursors of the unit (crHeaderSplit, crVertSplit); null for
// another number.
const TTGCursorImage* TreeGridCursor(int Cursor);
// Makes the two splitter cursors the screen's cursors crVertSplit and
// crHeaderSplit, once. The GUI thread calls it, the first time it needs them.
void RegisterSplitCursors();

// The format of tree references ("Tree Grid Reference"), which every data
// object answers but the format list does not hold.
TClipFormat CF_TREEGRIDREFERENCE();
// The format of node streams ("Tree Grid Data").
TClipFormat CF_TREEGRIDDATA();
