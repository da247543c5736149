#pragma once
// The binary component stream of events and the framing of messages on the
// wire.
//
// Component stream, the same bytes in every instance: "TPF0"; the class name
// and the component name as short strings (a length byte, then the bytes);
// the published properties in declaration order, each its name (short
// string) and a value (a type byte and its data, little-endian); 0 ending the
// properties and 0 ending the empty list of children. Properties at their
// default are left out, except 32-bit integers and enumerations.
//
// A message on the wire is one compressed block stream (TLZR): Int32 total
// length, then as many blocks as that length needs (one per full chunk, plus
// the short last one). Nothing else separates messages, so the framer works
// out where one ends from the block lengths alone; a length that cannot be
// right means the stream cannot be followed any more.
#include <cstddef>
#include <string>

#include "network/ByteQueue.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/Types.h"

class TTOOCSEvent;

VEK_EXCEPTION_KIND(EEventStreamError, EStreamError)

// Value type bytes of the component stream.
enum TValueType : Byte {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaLString = 12,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21
};

// Writes the event as a component stream at Dest's position.
void WriteEventComponent(TTOOCSEvent& Event, TStream& Dest);
// Reads one component stream from Source's position and answers the new
// event (the caller's to free). Raises EEventStreamError for anything that
// is not a well-formed stream of a registered event class; nothing leaks.
TTOOCSEvent* ReadEventComponent(TStream& Source);

// Largest uncompressed message accepted from the wire.
constexpr Int64 MaxMessageLength = Int64(64) * 1024 * 1024;
// Largest compressed form such a message can take.
Int64 MaxWireMessageSize();

// Compresses Encoded (from its start) into one wire message.
std::string CompressMessage(TMemoryStream& Encoded);
// Decompresses one wire message; EEventStreamError when it does not
// decompress to exactly its announced length.
void DecompressMessage(const std::string& Wire, TMemoryStream& Decoded);

// The receive buffer of one connection: bytes go in as they arrive, whole
// messages come out. Bytes of a message still incomplete stay for the next
// read.
class TMessageBuffer {
public:
    enum TState { msIncomplete, msComplete, msError };

    void Append(const void* Data, std::size_t Count);
    // msComplete: Message holds the next whole wire message, which is taken
    // out of the buffer. msIncomplete: more bytes are needed. msError: the
    // bytes cannot be a message (Error says why); the buffer is useless from
    // here on.
    TState Next(std::string& Message, String& Error);
    std::size_t Buffered() const { return FBytes.Size(); }
    void Clear() { FBytes.Clear(); }

private:
    TByteQueue FBytes;
};
