#pragma once
// The other running instances of the program, for the user who runs it.
//
// Every instance keeps two entries in one private folder of the user
// ($XDG_RUNTIME_DIR/vek/, else /tmp/vek-<uid>/): a small text file holding
// the caption of its main window and the full path of the document it shows
// (replaced by rename, so a reader sees either the old text or the new one),
// and a local socket on which it takes requests. Rewriting the caption file
// is what tells the others to look again: each instance watches the folder
// and, when anything in it changes, fires OnLookup once the event loop gets
// to it (several changes in a row make one call). Windows() then reads the
// folder. An entry whose socket nobody listens on any more belongs to an
// instance that died without cleaning up; it is dropped and its files are
// removed, so a crash never leaves a ghost in the window list.
//
// Everything runs on the GUI thread and needs an event loop for the notices,
// but no display and no other service.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

struct TInstanceEntry {
    // Names the instance to Activate; also what a menu item keeps as its tag.
    NativeInt Handle = 0;
    String Caption;
    String DocumentPath;
    int ProcessId = 0;
    // The entry of the registry asked.
    bool Self = false;
};

// The name shown in a window list for Caption: the text after "VEK - ", of a
// caption read up to 255 characters. False when the caption does not start
// so or has nothing after it.
bool VEKWindowName(const String& Caption, String& Name);

// The text of an entry file: the caption (cleaned as SetCaption cleans it)
// on one line, the escaped document path on the next. Parsing answers false
// for anything that is not such a text; a parsed entry formats back to the
// same text.
String FormatInstanceEntry(const String& Caption, const String& DocumentPath);
bool ParseInstanceEntry(const String& Text, String& Caption, String& DocumentPath);

class TInstanceRegistry : public TComponent {
    VEK_DECLARE_CLASS(TInstanceRegistry, TComponent)
public:
    explicit TInstanceRegistry(TComponent* AOwner);
    // Stops first.
    ~TInstanceRegistry() override;

    // The folder used when none is set: "$XDG_RUNTIME_DIR/vek/" when that
    // variable names an absolute folder, else "/tmp/vek-<uid>/".
    static String DefaultFolder();
    // Another folder (tests); only before Start. Empty means the default.
    void SetFolder(const String& Folder);
    // The folder in use ("/" at the end); empty before Start.
    const String& Folder() const { return FFolder; }

    // Creates the folder when missing (readable by the user alone; one that
    // others may enter, or that is not the user's, is refused), opens the
    // socket and writes the caption file. False, with the reason in
    // LastError, when any of that fails; the registry then stays stopped.
    bool Start();
    // Removes this instance's file and socket: the others drop it from their
    // lists when they next look. Harmless when not started.
    void Stop();
    bool Active() const;
    const String& LastError() const { return FLastError; }

    // The caption of the main window (and, in the second form, the full path
    // of the document it shows, empty for none). Rewrites the file when
    // started and something changed; before Start it is only kept.
    // Control characters become blanks, bytes that are not UTF-8 '?', and a
    // caption is kept to 1 KB. A path too long to pass on is passed on empty.
    void SetCaption(const String& Text);
    void SetCaption(const String& Text, const String& DocumentPath);
    const String& Caption() const { return FCaption; }
    const String& DocumentPath() const { return FDocumentPath; }
    NativeInt Handle() const { return FHandle; }

    // The instances now running, this one included (marked Self), in the
    // order they started. Reads the folder each time; drops stale entries.
    std::vector<TInstanceEntry> Windows();
    // Windows() narrowed to the entries whose caption names a document
    // (VEKWindowName), with Caption replaced by that name.
    std::vector<TInstanceEntry> VEKWindows();

    // Asks the instance Handle names to restore its window and come to the
    // front. False when it is not running (the entry is then dropped).
    bool Activate(NativeInt Handle);
    // Another live instance showing the document at Path (the same path, or
    // the same file under another name); false for none or an empty path.
    // Paths compare exactly, case included, once made absolute against the
    // current folder (as SetCaption makes the one it passes on).
    bool FindInstanceShowing(const String& Path, TInstanceEntry& Entry);
    // Activates that instance; false when there is none or it did not take
    // the request.
    bool ActivateInstanceShowing(const String& Path);

    // The folder changed: the list of instances may differ now.
    TNotifyEvent OnLookup;
    // Another instance (or this one) asked this one to come to the front.
    TNotifyEvent OnActivate;

protected:
    virtual void DoLookup();
    virtual void DoActivate();

private:
    struct TImpl;
    bool WriteEntry();
    void ScheduleLookup();
    void ScheduleActivate();
    void AcceptConnections();
    void ReadConnection(int Fd);
    void CloseConnection(int Fd);

    std::unique_ptr<TImpl> FImpl;
    String FFolder;
    String FFolderOverride;
    String FCaption;
    String FDocumentPath;
    String FLastError;
    NativeInt FHandle = 0;
};
