#pragma once
// Between data objects and the toolkit's MIME data, for the clipboard and
// drag and drop. Platform code and the platform's tests only.
#include <QMimeData>
#include <QPointer>

#include "platform/Clipbrd.h"

// Our data object as the toolkit sees it: the MIME types of its formats,
// each rendered through the object when a reader asks for it.
class TMimeBridge : public QMimeData {
public:
    explicit TMimeBridge(IDataObjectPtr ASource);
    ~TMimeBridge() override;

    // Null once the object is let go (the clipboard passed to another
    // owner, or flushed).
    IDataObjectPtr Source;

    QStringList formats() const override;
    bool hasFormat(const QString& MimeType) const override;

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override;
};

// The data object behind Data: ours when Data is a bridge, else one that
// reads the other program's data (while Data exists).
IDataObjectPtr DataObjectOfMimeData(const QMimeData* Data);
// A plain copy of Source: every format rendered once.
QMimeData* RenderedMimeData(IDataObject& Source);

// Conversions, exposed for tests: the bytes a format renders as other
// programs read them under MimeType, and back.
QByteArray OutgoingBytes(TClipFormat Format, const std::string& Rendered);
std::string IncomingBytes(TClipFormat Format, const QByteArray& Data);
