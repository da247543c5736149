#pragma once
// The text form of the component stream of events: the same properties, in
// the same order and with the same defaults left out, as lines of text.
//
//   object TSetNodeDataEvent
//     Transaction = 12
//     Column = 3
//     Data = 'Caf'#233' '#39'au lait'#39
//     Lines.Strings = (
//       'first'
//       'second')
//   end
//
// Strings are quoted runs of printable ASCII ('' is a quote) and #n for any
// other character (its Unicode code point); dates are decimal numbers with a
// point. Only ASCII is ever written, so the bytes are the same in every code
// page.
#include "network/EventStream.h"

class TTOOCSEvent;

void WriteEventText(TTOOCSEvent& Event, TStream& Dest);
// Reads the text from Source's position to its end. Raises
// EEventStreamError for anything that is not the text of a registered event
// class; nothing leaks.
TTOOCSEvent* ReadEventText(TStream& Source);
