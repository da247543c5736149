// The date-time picker: the fields of its format, typed into and stepped by
// keys, and committed one change at a time.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/ComCtrls.h"
#include "platform/ControlsPrivate.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "platform/FormatSettings.h"
#include "platform/Graphics.h"

namespace {

constexpr int CheckboxWidth = 18;
constexpr int TextIndent = 3;
constexpr int DropButtonWidth = 17;

char Up(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool StartsWithNoCase(const String& s, std::size_t i, const char* word)
{
    for (std::size_t k = 0; word[k]; ++k)
        if (i + k >= s.size() || Up(s[i + k]) != Up(word[k]))
            return false;
    return true;
}

String Pad(int Value, int Digits)
{
    String s = std::to_string(Value);
    while (int(s.size()) < Digits)
        s.insert(s.begin(), '0');
    return s;
}

struct TParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

TParts Split(TDateTime Value)
{
    TParts p;
    DecodeDate(Value, p.Year, p.Month, p.Day);
    DecodeTime(Value, p.Hour, p.Min, p.Sec, p.MSec);
    return p;
}

}  // namespace

// One piece of the shown text: a field the keys change, or text that only
// follows the value (a day name, milliseconds) or stands as it is.
struct TDateTimePicker::TSegment {
    TDateTimePart Part = dtpNone;
    // Digits of a number field (a year of 2 or 4); 3 and 4 for month names.
    int Width = 0;
    // For text that follows the value: its pattern. For the am/pm field:
    // the marker as written ("am/pm", "a/p", "ampm"). Else the literal text.
    String Text;
    bool Dynamic = false;
};

std::vector<TDateTimePicker::TSegment> TDateTimePicker::Segments() const
{
    std::vector<TSegment> out;
    const TFormatSettings& fs = FormatSettings;
    auto literal = [&out](const String& s) {
        if (s.empty())
            return;
        if (!out.empty() && out.back().Part == dtpNone && !out.back().Dynamic)
            out.back().Text += s;
        else
            out.push_back({dtpNone, 0, s, false});
    };
    auto field = [&out](TDateTimePart Part, int Width, const String& Text = String()) {
        out.push_back({Part, Width, Text, false});
    };
    // Nested formats (t, c, ddddd) expand through the settings, as
    // FormatDateTime expands them; a setting naming itself stops here.
    std::function<void(const String&, int)> parse = [&](const String& f, int depth) {
        if (depth > 3)
            return;
        bool afterHour = false;
        std::size_t i = 0;
        const std::size_t n = f.size();
        auto run = [&](char letter) {
            std::size_t k = i;
            while (k < n && Up(f[k]) == letter)
                ++k;
            const int c = int(k - i);
            i = k;
            return c;
        };
        while (i < n) {
            const char raw = f[i];
            const char token = Up(raw);
            switch (token) {
            case 'D': {
                const int c = run('D');
                if (c <= 2)
                    field(dtpDay, c);
                else if (c <= 4)
                    out.push_back({dtpNone, 0, String(std::size_t(c), 'd'), true});
                else
                    parse(fs.ShortDateFormat, depth + 1);
                afterHour = false;
                break;
            }
            case 'M': {
                const int c = run('M');
                if (afterHour)
                    field(dtpMinute, std::min(c, 2));
                else
                    field(dtpMonth, std::min(c, 4));
                afterHour = false;
                break;
            }
            case 'Y': field(dtpYear, run('Y') <= 2 ? 2 : 4); afterHour = false; break;
            case 'H': field(dtpHour, std::min(run('H'), 2)); afterHour = true; break;
            case 'N': field(dtpMinute, std::min(run('N'), 2)); afterHour = false; break;
            case 'S': field(dtpSecond, std::min(run('S'), 2)); afterHour = false; break;
            case 'Z': {
                const int c = run('Z');
                out.push_back({dtpNone, 0, c >= 3 ? "zzz" : "z", true});
                break;
            }
            case 'T': parse(run('T') == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, depth + 1); break;
            case 'C':
                ++i;
                parse(fs.ShortDateFormat, depth + 1);
                literal(" ");
                parse(fs.LongTimeFormat, depth + 1);
                break;
            case 'A': {
                const char* marker = StartsWithNoCase(f, i, "am/pm") ? "am/pm"
                                     : StartsWithNoCase(f, i, "a/p") ? "a/p"
                                     : StartsWithNoCase(f, i, "ampm") ? "ampm"
                                                                      : nullptr;
                if (marker) {
                    const std::size_t len = std::char_traits<char>::length(marker);
                    field(dtpAmPm, 0, f.substr(i, len));
                    i += len;
                } else {
                    literal(String(1, raw));
                    ++i;
                }
                break;
            }
            case '/': literal(fs.DateSeparator); ++i; break;
            case ':': literal(fs.TimeSeparator); ++i; break;
            case '"':
            case '\'': {
                const std::size_t close = f.find(raw, i + 1);
                const std::size_t end = close == String::npos ? n : close;
                literal(f.substr(i + 1, end - i - 1));
                i = close == String::npos ? n : close + 1;
                break;
            }
            default: literal(String(1, raw)); ++i;
            }
        }
    };
    String format = FFormat;
    if (format.empty())
        format = FKind == dtkDate ? fs.ShortDateFormat : fs.LongTimeFormat;
    parse(format, 0);
    return out;
}

int TDateTimePicker::FirstField(const std::vector<TSegment>& List) const
{
    for (std::size_t i = 0; i < List.size(); ++i)
        if (List[i].Part != dtpNone)
            return int(i);
    return -1;
}

int TDateTimePicker::SelectedIndex(const std::vector<TSegment>& List) const
{
    if (FSelected >= 0 && FSelected < int(List.size()) && List[std::size_t(FSelected)].Part != dtpNone)
        return FSelected;
    return FirstField(List);
}

namespace {

// The range of values a field takes at Value.
void Limits(TDateTimePart Part, const TParts& p, TDateTime MinDate, TDateTime MaxDate, int& Low, int& High)
{
    Low = 0;
    High = 0;
    switch (Part) {
    case dtpDay: Low = 1; High = DaysInAMonth(p.Year, p.Month); break;
    case dtpMonth: Low = 1; High = 12; break;
    case dtpYear: {
        int y, m, d;
        Low = 1;
        High = 9999;
        if (MinDate != 0) {
            DecodeDate(MinDate, y, m, d);
            Low = y;
        }
        if (MaxDate != 0) {
            DecodeDate(MaxDate, y, m, d);
            High = std::max(y, Low);
        }
        break;
    }
    case dtpHour: High = 23; break;
    case dtpMinute:
    case dtpSecond: High = 59; break;
    case dtpAmPm: High = 1; break;
    case dtpNone: break;
    }
}

int PartOf(TDateTimePart Part, const TParts& p)
{
    switch (Part) {
    case dtpDay: return p.Day;
    case dtpMonth: return p.Month;
    case dtpYear: return p.Year;
    case dtpHour: return p.Hour;
    case dtpMinute: return p.Min;
    case dtpSecond: return p.Sec;
    case dtpAmPm: return p.Hour >= 12 ? 1 : 0;
    case dtpNone: break;
    }
    return 0;
}

// The value with one field changed; a day past the new month's end becomes
// its last day.
TDateTime WithPart(TDateTime Value, TDateTimePart Part, int NewValue)
{
    TParts p = Split(Value);
    switch (Part) {
    case dtpDay: p.Day = NewValue; break;
    case dtpMonth: p.Month = NewValue; break;
    case dtpYear: p.Year = NewValue; break;
    case dtpHour: p.Hour = NewValue; break;
    case dtpMinute: p.Min = NewValue; break;
    case dtpSecond: p.Sec = NewValue; break;
    case dtpAmPm: p.Hour = p.Hour % 12 + (NewValue ? 12 : 0); break;
    case dtpNone: break;
    }
    p.Day = std::min(p.Day, DaysInAMonth(p.Year, p.Month));
    TDateTime out = Value;
    TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Min, p.Sec, p.MSec, out);
    return out;
}

}  // namespace

bool TDateTimePicker::TwelveHours(const std::vector<TSegment>& List)
{
    return std::any_of(List.begin(), List.end(), [](const TSegment& s) { return s.Part == dtpAmPm; });
}

String TDateTimePicker::SegmentText(const TSegment& Segment, bool Selected, bool Twelve) const
{
    if (Selected && !FTyped.empty())
        return FTyped;
    const TFormatSettings& fs = FormatSettings;
    const TParts p = Split(FDateTime);
    switch (Segment.Part) {
    case dtpNone: return Segment.Dynamic ? FormatDateTime(Segment.Text, FDateTime) : Segment.Text;
    case dtpDay: return Pad(p.Day, Segment.Width);
    case dtpMonth:
        if (Segment.Width >= 3)
            return (Segment.Width == 3 ? fs.ShortMonthNames : fs.LongMonthNames)[std::size_t(p.Month - 1)];
        return Pad(p.Month, Segment.Width);
    case dtpYear: return Segment.Width == 2 ? Pad(p.Year % 100, 2) : Pad(p.Year, 4);
    case dtpHour: {
        int h = p.Hour;
        if (Twelve) {
            h %= 12;
            if (h == 0)
                h = 12;
        }
        return Pad(h, Segment.Width);
    }
    case dtpMinute: return Pad(p.Min, Segment.Width);
    case dtpSecond: return Pad(p.Sec, Segment.Width);
    case dtpAmPm: return FormatDateTime(Segment.Text, FDateTime);
    }
    return String();
}

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clWindow;
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    SetBounds(0, 0, 186, 21);
    FDateTime = ::Now();
}

TDateTimePicker::~TDateTimePicker() = default;

TDateTime TDateTimePicker::Clamped(TDateTime Value) const
{
    Value = std::clamp(Value, MinDateTime, MaxDateTime);
    const TDateTime day = std::floor(Value);
    const TDateTime time = Value - day;
    if (FMaxDate != 0 && day > std::floor(FMaxDate))
        Value = std::floor(FMaxDate) + time;
    if (FMinDate != 0 && day < std::floor(FMinDate))
        Value = std::floor(FMinDate) + time;
    return Value;
}

void TDateTimePicker::SetDateTime(TDateTime Value)
{
    if (!std::isfinite(Value))
        return;
    FTyped.clear();
    FJustAdvanced = false;
    FDateTime = Clamped(Value);
    Invalidate();
}

TDateTime TDateTimePicker::Date() const { return std::floor(FDateTime); }

void TDateTimePicker::SetDate(TDateTime Value)
{
    if (!std::isfinite(Value))
        return;
    // The time of day stays.
    SetDateTime(std::floor(std::clamp(Value, MinDateTime, MaxDateTime)) + (FDateTime - std::floor(FDateTime)));
}

TDateTime TDateTimePicker::Time() const { return FDateTime - std::floor(FDateTime); }

void TDateTimePicker::SetTime(TDateTime Value)
{
    if (!std::isfinite(Value))
        return;
    SetDateTime(std::floor(FDateTime) + (Value - std::floor(Value)));
}

void TDateTimePicker::SetMinDate(TDateTime Value)
{
    if (!std::isfinite(Value))
        return;
    FMinDate = Value;
    FDateTime = Clamped(FDateTime);
    Invalidate();
}

void TDateTimePicker::SetMaxDate(TDateTime Value)
{
    if (!std::isfinite(Value))
        return;
    FMaxDate = Value;
    FDateTime = Clamped(FDateTime);
    Invalidate();
}

void TDateTimePicker::SetKind(TDateTimeKind Value)
{
    FKind = Value;
    FSelected = -1;
    FTyped.clear();
    Invalidate();
}

void TDateTimePicker::SetFormat(const String& Value)
{
    FFormat = Value;
    FSelected = -1;
    FTyped.clear();
    Invalidate();
}

void TDateTimePicker::SetShowCheckbox(bool Value)
{
    FShowCheckbox = Value;
    Invalidate();
}

void TDateTimePicker::SetChecked(bool Value)
{
    FChecked = Value;
    Invalidate();
}

String TDateTimePicker::DisplayText() const
{
    const std::vector<TSegment> list = Segments();
    const int selected = SelectedIndex(list);
    const bool twelve = TwelveHours(list);
    String out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out += SegmentText(list[i], int(i) == selected, twelve);
    return out;
}

TDateTimePart TDateTimePicker::SelectedPart() const
{
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    return i < 0 ? dtpNone : list[std::size_t(i)].Part;
}

std::vector<TRect> TDateTimePicker::Layout(const std::vector<TSegment>& List)
{
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    const TRect client = ClientRect();
    const int selected = SelectedIndex(List);
    const bool twelve = TwelveHours(List);
    std::vector<TRect> out;
    int x = (FShowCheckbox ? CheckboxWidth : TextIndent);
    for (std::size_t i = 0; i < List.size(); ++i) {
        const int w = c->TextWidth(SegmentText(List[i], int(i) == selected, twelve));
        out.push_back({x, client.Top, x + w, client.Bottom});
        x += w;
    }
    return out;
}

TRect TDateTimePicker::PartRect(TDateTimePart Part)
{
    const std::vector<TSegment> list = Segments();
    const std::vector<TRect> rects = Layout(list);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].Part == Part && Part != dtpNone)
            return rects[i];
    return {};
}

bool TDateTimePicker::Commit(TDateTime Value)
{
    Value = Clamped(Value);
    Invalidate();
    if (Value == FDateTime)
        return false;
    FDateTime = Value;
    if (OnChange)
        OnChange(this);
    return true;
}

void TDateTimePicker::Step(int Count)
{
    FTyped.clear();
    FDateTime = Clamped(FKind == dtkDate ? FDateTime + Count : FDateTime + Count / 1440.0);
    Invalidate();
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// Input.

// Digits typed into the selected field become its value. One or two digits
// of a year are placed by the century window; a number the field cannot
// take is dropped.
bool TDateTimePicker::CommitTyped()
{
    if (FTyped.empty())
        return false;
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    const String typed = FTyped;
    FTyped.clear();
    Invalidate();
    if (i < 0)
        return false;
    const TDateTimePart part = list[std::size_t(i)].Part;
    int v = std::stoi(typed);
    switch (part) {
    case dtpDay:
        if (v < 1 || v > 31)
            return false;
        break;
    case dtpMonth:
        if (v < 1 || v > 12)
            return false;
        break;
    case dtpYear:
        if (typed.size() <= 2)
            v = ExpandTwoDigitYear(v, FormatSettings);
        if (v < 1 || v > 9999)
            return false;
        break;
    case dtpHour:
        if (TwelveHours(list)) {
            if (v < 1 || v > 12)
                return false;
            v = v % 12 + (Split(FDateTime).Hour >= 12 ? 12 : 0);
        } else if (v > 23) {
            return false;
        }
        break;
    case dtpMinute:
    case dtpSecond:
        if (v > 59)
            return false;
        break;
    default: return false;
    }
    return Commit(WithPart(FDateTime, part, v));
}

void TDateTimePicker::Select(int Index)
{
    CommitTyped();
    FSelected = Index;
    FJustAdvanced = false;
    Invalidate();
}

void TDateTimePicker::MoveSelection(int Direction)
{
    const std::vector<TSegment> list = Segments();
    const int n = int(list.size());
    int i = SelectedIndex(list);
    if (i < 0)
        return;
    for (int k = 0; k < n; ++k) {
        i = (i + Direction + n) % n;
        if (list[std::size_t(i)].Part != dtpNone)
            break;
    }
    Select(i);
}

void TDateTimePicker::TypeDigit(int Digit)
{
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    if (i < 0)
        return;
    FSelected = i;
    FJustAdvanced = false;
    const TSegment& seg = list[std::size_t(i)];
    int most = 0;
    std::size_t digits = 2;
    switch (seg.Part) {
    case dtpDay: most = 31; break;
    case dtpMonth: most = 12; break;
    case dtpYear: most = 9999; digits = std::size_t(seg.Width); break;
    case dtpHour: most = TwelveHours(list) ? 12 : 23; break;
    case dtpMinute:
    case dtpSecond: most = 59; break;
    default: return;  // the am/pm marker takes letters
    }
    FTyped += char('0' + Digit);
    Invalidate();
    const int value = std::stoi(FTyped);
    const bool full = FTyped.size() >= digits || (seg.Part != dtpYear && value * 10 > most);
    if (!full)
        return;
    CommitTyped();
    // On to the next field, if there is one after this.
    for (std::size_t k = std::size_t(i) + 1; k < list.size(); ++k)
        if (list[k].Part != dtpNone) {
            FSelected = int(k);
            FJustAdvanced = true;
            break;
        }
}

void TDateTimePicker::StepPart(int Delta)
{
    CommitTyped();
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    if (i < 0)
        return;
    FSelected = i;
    const TDateTimePart part = list[std::size_t(i)].Part;
    const TParts p = Split(FDateTime);
    int low, high;
    Limits(part, p, FMinDate, FMaxDate, low, high);
    const int range = high - low + 1;
    const int v = low + ((PartOf(part, p) - low + Delta) % range + range) % range;
    Commit(WithPart(FDateTime, part, v));
}

void TDateTimePicker::SetPartLimit(bool Last)
{
    CommitTyped();
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    if (i < 0)
        return;
    FSelected = i;
    const TDateTimePart part = list[std::size_t(i)].Part;
    int low, high;
    Limits(part, Split(FDateTime), FMinDate, FMaxDate, low, high);
    Commit(WithPart(FDateTime, part, Last ? high : low));
}

void TDateTimePicker::ToggleChecked()
{
    FChecked = !FChecked;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// The drop-down calendar.

namespace {

// The popup holding the calendar: a frame line round it and a shadow.
class TDateDropDown : public TCustomForm {
public:
    explicit TDateDropDown(TComponent* AOwner) : TCustomForm(AOwner)
    {
        SetBorderStyle(bsNone);
        FColor = clWindowFrame;
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomForm::CreateParams(Params);
        Params.WindowClassStyle |= CS_DROPSHADOW;
    }
};

}  // namespace

TRect TDateTimePicker::ButtonRect()
{
    if (FKind != dtkDate)
        return {};
    const TRect client = ClientRect();
    return {std::max(client.Left, client.Right - DropButtonWidth), client.Top, client.Right, client.Bottom};
}

void TDateTimePicker::DropDown()
{
    if (FKind != dtkDate || FDroppedDown || !Enabled())
        return;
    CommitTyped();
    FJustAdvanced = false;
    TControlWatch watch(this);
    std::unique_ptr<TDateDropDown> form(Create<TDateDropDown>(nullptr));
    auto* calendar = Create<TMonthCalendar>(form.get());
    calendar->SetParent(form.get());
    calendar->SetMinDate(FMinDate);
    calendar->SetMaxDate(FMaxDate);
    calendar->SetDate(Date());
    calendar->SetLeft(1);
    calendar->SetTop(1);
    bool picked = false;
    TDateDropDown* popup = form.get();
    calendar->OnPick = [&picked, popup](TObject*) {
        picked = true;
        popup->ClosePopup(mrOk);
    };
    calendar->OnKeyDown = [popup](TObject*, Word& Key, TShiftState) {
        if (Key == VK_ESCAPE) {
            Key = 0;
            popup->ClosePopup(mrCancel);
        }
    };
    form->SetActiveControl(calendar);

    // Below the picker, left edges flush; above it where the screen ends.
    const TPoint topLeft = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
    const TRect anchor{topLeft.X, topLeft.Y, topLeft.X + Width(), topLeft.Y + Height()};
    const int w = calendar->Width() + 2, h = calendar->Height() + 2;
    const TRect work = Screen->MonitorWorkAreaRect({anchor.Left, anchor.Bottom});
    int y = anchor.Bottom;
    if (y + h > work.Bottom && anchor.Top - h >= work.Top)
        y = anchor.Top - h;
    const int x = std::max(work.Left, std::min(anchor.Left, work.Right - w));
    form->SetBounds(x, std::max(work.Top, std::min(y, work.Bottom - h)), w, h);

    FDroppedDown = true;
    Invalidate();
    TModalResult result = mrCancel;
    try {
        result = form->RunPopup();
    } catch (...) {
        if (watch)
            FDroppedDown = false;
        throw;
    }
    if (!watch)
        return;
    FDroppedDown = false;
    Invalidate();
    if (!picked || result != mrOk)
        return;
    // A picked day also ticks an unticked box.
    const bool ticked = FShowCheckbox && !FChecked;
    FChecked = true;
    if (!Commit(std::floor(calendar->Date()) + Time()) && ticked && OnChange)
        OnChange(this);
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && ButtonRect().Contains({X, Y})) {
        if (CanFocus())
            SetFocus();
        TControlWatch watch(this);
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (watch)
            DropDown();
        return;
    }
    if (Button == mbLeft) {
        if (CanFocus())
            SetFocus();
        if (FShowCheckbox && X < CheckboxWidth) {
            ToggleChecked();
        } else {
            // The field under the pointer, else the nearest one.
            const std::vector<TSegment> list = Segments();
            const std::vector<TRect> rects = Layout(list);
            int best = -1;
            int distance = 0;
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (list[i].Part == dtpNone)
                    continue;
                const TRect& r = rects[i];
                const int d = X < r.Left ? r.Left - X : X >= r.Right ? X - r.Right + 1 : 0;
                if (best < 0 || d < distance) {
                    best = int(i);
                    distance = d;
                }
            }
            if (best >= 0)
                Select(best);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDateTimePicker::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    FSpaceToggled = false;
    const bool plain = !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift);
    if ((Key == VK_DOWN && Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) || (Key == VK_F4 && plain)) {
        if (FKind != dtkDate)
            return;
        Key = 0;
        DropDown();
        return;
    }
    if (Shift.Contains(ssAlt) || Shift.Contains(ssCtrl))
        return;
    switch (Key) {
    case VK_UP: StepPart(1); break;
    case VK_DOWN: StepPart(-1); break;
    case VK_LEFT: MoveSelection(-1); break;
    case VK_RIGHT: MoveSelection(1); break;
    case VK_HOME: SetPartLimit(false); break;
    case VK_END: SetPartLimit(true); break;
    case VK_SPACE:
        if (!FShowCheckbox)
            return;
        FSpaceToggled = true;
        ToggleChecked();
        break;
    default: return;
    }
    if (Key != VK_SPACE)
        FJustAdvanced = false;
    Key = 0;
}

void TDateTimePicker::KeyPress(WideChar& Key)
{
    TCustomControl::KeyPress(Key);
    const WideChar ch = Key;
    if (ch == 0)
        return;
    if (ch == u' ' && FSpaceToggled) {
        FSpaceToggled = false;
        Key = 0;
        return;
    }
    if (ch >= u'0' && ch <= u'9') {
        TypeDigit(ch - u'0');
        Key = 0;
        return;
    }
    const std::vector<TSegment> list = Segments();
    const int i = SelectedIndex(list);
    if (i < 0 || ch < 0x20)
        return;
    const TSegment& seg = list[std::size_t(i)];
    if (seg.Part == dtpAmPm) {
        // The first letter of either marker picks it.
        const String am = FormatDateTime(seg.Text, std::floor(FDateTime));
        const String pm = FormatDateTime(seg.Text, std::floor(FDateTime) + 0.5);
        const char typed = Up(char(ch < 0x80 ? ch : 0));
        if (typed && !am.empty() && Up(am[0]) == typed && (pm.empty() || Up(pm[0]) != typed))
            Commit(WithPart(FDateTime, dtpAmPm, 0));
        else if (typed && !pm.empty() && Up(pm[0]) == typed)
            Commit(WithPart(FDateTime, dtpAmPm, 1));
        Key = 0;
        return;
    }
    // A separator of the format moves on to the next field, unless the
    // digits just typed moved there already.
    bool separator = false;
    if (ch < 0x80)
        for (const TSegment& s : list)
            if (s.Part == dtpNone && !s.Dynamic && s.Text.find(char(ch)) != String::npos)
                separator = true;
    if (!separator)
        return;
    Key = 0;
    if (FJustAdvanced && FTyped.empty()) {
        FJustAdvanced = false;
        return;
    }
    MoveSelection(1);
}

void TDateTimePicker::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_KILLFOCUS:
        CommitTyped();
        FJustAdvanced = false;
        Invalidate();
        break;
    case WM_SETFOCUS: Invalidate(); break;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TDateTimePicker::Paint()
{
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    const TRect client = ClientRect();
    c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(client);
    if (FShowCheckbox) {
        const int top = client.Top + (client.Height() - 13) / 2;
        const TRect box{3, top, 16, top + 13};
        c->Brush()->SetColor(clWindow);
        c->FillRect(box);
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(box);
        if (FChecked) {
            c->Pen()->SetColor(clWindowText);
            for (int k = 0; k < 3; ++k) {
                c->MoveTo(box.Left + 3, box.Top + 5 + k);
                c->LineTo(box.Left + 5, box.Top + 7 + k);
                c->LineTo(box.Left + 10, box.Top + 2 + k);
            }
        }
    }
    const std::vector<TSegment> list = Segments();
    const std::vector<TRect> rects = Layout(list);
    const int selected = Focused() ? SelectedIndex(list) : -1;
    const bool twelve = TwelveHours(list);
    c->Brush()->SetStyle(bsClear);
    for (std::size_t i = 0; i < list.size(); ++i) {
        TRect r = rects[i];
        const bool sel = int(i) == selected;
        if (sel) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clHighlight);
            c->FillRect(r);
            c->Brush()->SetStyle(bsClear);
        }
        c->Font()->SetColor(sel ? clHighlightText : Enabled() && FChecked ? clWindowText : clGrayText);
        c->DrawText(SegmentText(list[i], sel, twelve), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    c->Brush()->SetStyle(bsSolid);
    if (TRect b = ButtonRect(); !b.IsEmpty()) {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(b);
        c->DrawEdge(b, FDroppedDown ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
        const int cx = (b.Left + b.Right) / 2 + (FDroppedDown ? 1 : 0);
        const int cy = (b.Top + b.Bottom) / 2 + (FDroppedDown ? 1 : 0);
        const TPoint arrow[3] = {{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}};
        const TColor ink = Enabled() ? clBtnText : clGrayText;
        c->Pen()->SetColor(ink);
        c->Brush()->SetColor(ink);
        c->Polygon(arrow, 3);
    }
}
