#pragma once
// The string tree: a tree whose cells show texts it asks for each time
// (OnGetText, starting from DefaultText) and hands back edits (OnNewText).
// Each node keeps a small internal area for the measured width of its
// main-column text (0 = not measured).
#include <unordered_map>
#include <vector>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Clipbrd.h"

enum TVSTTextType : std::uint8_t { ttNormal, ttStatic };
enum TVSTTextSourceType : std::uint8_t { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible };

enum TTGStringOption : std::uint8_t { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TTGStringOptions = TGSet<TTGStringOption, std::uint8_t>;
constexpr TTGStringOptions DefaultStringOptions{toSaveCaptions, toAutoAcceptEditChange};

class TCustomStringTreeOptions : public TCustomTreeGridOptions {
    VEK_DECLARE_CLASS(TCustomStringTreeOptions, TCustomTreeGridOptions)
public:
    using TCustomTreeGridOptions::TCustomTreeGridOptions;
    TTGStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TTGStringOptions Value);

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    TTGStringOptions FStringOptions = DefaultStringOptions;
};

class TStringTreeOptions : public TCustomStringTreeOptions {
    VEK_DECLARE_CLASS(TStringTreeOptions, TCustomStringTreeOptions)
public:
    using TCustomStringTreeOptions::TCustomStringTreeOptions;
};

class TCustomStringTreeGrid;
using TTGGetTextEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    TVSTTextType TextType, String& CellText)>;
using TTGNewTextEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    const String& NewText)>;
using TTGPaintTextEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, TVSTTextType TextType)>;
using TTGShortenStringEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, const String& S, int TextSpace, String& Result, bool& Done)>;
using TTGMeasureTextEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, const String& Text, int& Extent)>;
using TTGDrawTextEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, const String& Text, const TRect& CellRect, bool& DefaultDraw)>;
using TTGExportEvent = std::function<void(TBaseTreeGrid* Sender)>;
using TTGColumnExportEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column)>;
using TTGNodeExportEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node)>;
using TTGBeforeNodeExportEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, bool& Allowed)>;
using TTGIncrementalSearchEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node,
    const String& SearchText, int& Result)>;
using TTGGetHintEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    TTGTooltipLineBreakStyle& LineBreakStyle, String& HintText)>;
// The walk an export takes over its source nodes.
using TTGGetNextNode = std::function<TGridNode*(TGridNode* Node)>;

// The clipboard's HTML: Html wrapped in a document with the clipboard's
// header of byte offsets in front.
std::string MakeFragment(const std::string& Html);

class TCustomStringTreeGrid : public TBaseTreeGrid {
    VEK_DECLARE_CLASS(TCustomStringTreeGrid, TBaseTreeGrid)
public:
    explicit TCustomStringTreeGrid(TComponent* AOwner = nullptr);

    TTGGetTextEvent OnGetText;
    TTGNewTextEvent OnNewText;
    // The place to change the canvas font before a text is measured or drawn.
    TTGPaintTextEvent OnPaintText;
    TTGShortenStringEvent OnShortenString;
    TTGMeasureTextEvent OnMeasureTextWidth;
    // Draws the text itself when it clears DefaultDraw.
    TTGDrawTextEvent OnDrawText;
    // Around the parts of an HTML export.
    TTGExportEvent OnBeforeHeaderExport;
    TTGExportEvent OnAfterHeaderExport;
    TTGColumnExportEvent OnBeforeColumnExport;
    TTGColumnExportEvent OnAfterColumnExport;
    TTGBeforeNodeExportEvent OnBeforeNodeExport;
    TTGNodeExportEvent OnAfterNodeExport;
    // Result 0: Node matches what was typed.
    TTGIncrementalSearchEvent OnIncrementalSearch;
    // A node's hint, and its tooltip in place of the cell's text.
    TTGGetHintEvent OnGetHint;

    const String& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const String& Value);
    // The cell's text: DefaultText as changed by OnGetText.
    String Text(TGridNode* Node, TColumnIndex Column);
    void SetText(TGridNode* Node, TColumnIndex Column, const String& Value);
    using TControl::Text;
    using TControl::SetText;

    TCustomStringTreeOptions* TreeOptions() const
    {
        return static_cast<TCustomStringTreeOptions*>(TBaseTreeGrid::TreeOptions());
    }
    // The measured main-column width kept in the node (0 = not measured).
    Cardinal CachedTextWidth(TGridNode* Node) const;
    void SetCachedTextWidth(TGridNode* Node, Cardinal Width);

    void InvalidateNode(TGridNode* Node) override;
    void ReinitNode(TGridNode* Node, bool Recursive) override;
    void MainColumnChanged() override;
    void Dispatch(TMessage& Message) override;
    // The height Node's text in Column needs with word wrap (S, or the
    // cell's text when empty); for sizing multi-line rows.
    virtual int ComputeNodeHeight(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, String S = String());
    void GetTextInfo(TGridNode* Node, TColumnIndex Column, const TFont* AFont, TRect& R, String& Text) override;

    // ---- content export (TreeGridExport.cpp) ----
    // The first node of Source and the walk to the next ones.
    void GetRenderStartValues(TVSTTextSourceType Source, TGridNode*& Node, TTGGetNextNode& GetNextNode);
    // The nodes of Source in their order (ExportableOnly: those the export
    // mode lets out) and the deepest level among them.
    TNodeArray SourceNodes(TVSTTextSourceType Source, bool ExportableOnly, Cardinal& MaxLevel);
    // Whether the export mode lets Node's row out.
    bool CanExportNode(TGridNode* Node) const;
    // Rows as delimited text (UTF-8), one per line ending in CR LF, a header
    // line of captions first; the level shows as leading separators.
    std::string ContentToText(TVSTTextSourceType Source, const String& Separator);
    std::u16string ContentToUnicode(TVSTTextSourceType Source, const String& Separator);
    std::string ContentToHTML(TVSTTextSourceType Source, const String& Caption = String());
    std::string ContentToRTF(TVSTTextSourceType Source);
    // The bytes of Format (text, Unicode text, "CSV", "HTML Format", the
    // rich text formats); empty for another format or no content.
    std::string ContentToClipboard(TClipFormat Format, TVSTTextSourceType Source);
    // The node stream and reference as the base tree renders them, the
    // text formats from the cut or copy set (clipboard) or the selection (drag).
    HRESULT RenderOLEData(const TFormatEtc& FormatEtcIn, TStream& Medium, bool ForClipboard) override;

protected:
    // ---- text painting and measuring (StringTreePaint.cpp) ----
    void DoPaintNode(TTGPaintInfo& PaintInfo) override;
    void AdjustPaintCellRect(TTGPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) override;
    bool ColumnIsEmpty(TGridNode* Node, TColumnIndex Column) override;
    int DoGetNodeWidth(TGridNode* Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    void InitializeTextProperties(TTGPaintInfo& PaintInfo);
    void PaintNormalText(TTGPaintInfo& PaintInfo, int TextOutFlags, String Text);
    void PaintStaticText(const TTGPaintInfo& PaintInfo, int TextOutFlags, const String& Text);
    virtual void DoPaintText(TGridNode* Node, TCanvas* Canvas, TColumnIndex Column, TVSTTextType TextType);
    virtual void DoTextDrawing(TTGPaintInfo& PaintInfo, const String& Text, TRect CellRect, unsigned DrawFormat);
    virtual int CalculateTextWidth(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, const String& Text);
    virtual int DoTextMeasuring(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, const String& Text);
    virtual String DoShortenString(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, const String& S,
        int Width, int EllipsisWidth = 0);
    // Text height and ellipsis width in the tree's font.
    void MeasureFont();
    // A canvas to measure on when the caller has none.
    TCanvas* MeasureCanvas();
    // The width of a single line of text in the canvas's font, measured once
    // per font and text: a column repeats its texts, and shaping is slow.
    int TextExtentCached(TCanvas* Canvas, const String& Text);
    // Notes, while painting, that a handler changed the canvas font.
    void RedirectFontChangeEvent(TCanvas* Canvas);
    void RestoreFontChangeEvent(TCanvas* Canvas);

    TTreeGridOptionsClass GetOptionsClass() override;
    ITGEditLinkPtr DoCreateEditor(TGridNode* Node, TColumnIndex Column) override;
    int DoIncrementalSearch(TGridNode* Node, const String& Text) override;
    String DoGetNodeHint(TGridNode* Node, TColumnIndex Column, TTGTooltipLineBreakStyle& LineBreakStyle) override;
    String DoGetNodeTooltip(TGridNode* Node, TColumnIndex Column) override;
    virtual void DoGetText(TGridNode* Node, TColumnIndex Column, TVSTTextType TextType, String& Text);
    virtual void DoNewText(TGridNode* Node, TColumnIndex Column, const String& Text);
    // The rows of the text exports, UTF-8: with ApplyExportMode only rows
    // the export mode lets out; QuoteQuotes quotes texts holding a double
    // quote too.
    std::string DelimitedText(TVSTTextSourceType Source, const String& Separator, bool ApplyExportMode,
        bool QuoteQuotes);
    void ResetAllTextWidths();
    // The node stream's caption chunk: the main column's text.
    void WriteChunks(TStream& Stream, TGridNode* Node) override;
    bool ReadChunk(TStream& Stream, int Version, TGridNode* Node, int ChunkType, int ChunkSize) override;

    String FDefaultText = "Node";
    Cardinal FInternalDataOffset;
    // Width of "..." in the tree's font; -1 until measured.
    int FEllipsisWidth = -1;
    std::unique_ptr<TBitmap> FMeasureBitmap;
    TNotifyEvent FOldFontChange;
    struct TFontKey {
        String Name;
        int Height = 0;
        int Style = 0;
        int PixelsPerInch = 0;
        int Orientation = 0;
        bool operator==(const TFontKey&) const = default;
    };
    struct TExtentCache {
        TFontKey Font;
        std::unordered_map<String, int> Widths;
    };
    std::vector<TExtentCache> FExtentCaches;
};

class TStringTreeGrid : public TCustomStringTreeGrid {
    VEK_DECLARE_CLASS(TStringTreeGrid, TCustomStringTreeGrid)
public:
    using TCustomStringTreeGrid::TCustomStringTreeGrid;

    TStringTreeOptions* TreeOptions() const
    {
        return static_cast<TStringTreeOptions*>(TBaseTreeGrid::TreeOptions());
    }

protected:
    TTreeGridOptionsClass GetOptionsClass() override;
};
