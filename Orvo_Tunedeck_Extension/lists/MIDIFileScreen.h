// What the MIDI-file list needs of the screen that holds it: the screen's delegate, its two delete alerts, its close
// action and its tab buttons. MIDIFileViewController is the screen; tests put a fake in its place.
//
// Threads: main queue only.
#pragma once

#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewControllerDelegate.h"
#include "platform/ui/Color.h"

class MIDIFileScreen {
public:
    virtual ~MIDIFileScreen() = default;
    // nullptr when no one listens.
    virtual MIDIFileViewControllerDelegate* fileDelegate() = 0;
    // Tells the user that factory content cannot be deleted. Returns without waiting for the answer.
    virtual void showFactoryDeleteRefusal() = 0;
    // Asks the user to confirm deleting the list's pending entry; "OK" calls the list's deleteFile(), "Cancel"
    // empties its pendingFile. Returns without waiting for the answer.
    virtual void confirmDelete() = 0;
    // Whether the screen has a close button; a picked file closes the screen only then.
    virtual bool hasCloseButton() const = 0;
    // Dismisses the screen, animated.
    virtual void close() = 0;
    // Colours the titles of the factory and user tab buttons.
    virtual void setTabTitleColors(ui::Color factory, ui::Color user) = 0;
};
