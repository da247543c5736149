#include "components/DateTimePopup.h"

TDateTimePopup* DateTimePopup = nullptr;

TDateTimePopup::TDateTimePopup(TComponent* AOwner) : TfmDropDown(AOwner)
{
    SetName("DateTimePopup");
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetClientWidth(139);
    SetClientHeight(153);
    FCalendar = Create<TMonthCalendar>(this);
    FCalendar->SetName("Calendar");
    FCalendar->SetParent(this);
    // Wide enough for the weekdays' short names side by side.
    FCalendar->SetBounds(0, 0, 182, 153);
    FCalendar->SetTabStop(true);
    // Only a pick closes the popup: paging and the arrow keys move on.
    FCalendar->OnPick = [this](TObject* Sender) { CalendarChange(Sender); };
    SetActiveControl(FCalendar);
    SetClientWidth(FCalendar->Width());
    SetClientHeight(FCalendar->Height());
}

void TDateTimePopup::CreateParams(TCreateParams& Params)
{
    TfmDropDown::CreateParams(Params);
    Params.WindowClassStyle |= CS_DROPSHADOW;
}

TDateTime TDateTimePopup::Date() const { return FDateChanged ? FCalendar->Date() : FLastDate; }

void TDateTimePopup::SetDate(TDateTime Value)
{
    FLastDate = Value;
    FCalendar->SetDate(Value);
    FDateChanged = false;
}

void TDateTimePopup::CalendarChange(TObject*)
{
    FDateChanged = true;
    if (OnChange)
        OnChange(this);
    SetModalResult(mrOk);
    if (IsPopup())
        Close();
}
