#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

#include <string>

// Small helpers for views that both deliverables build.
//
// Thread contract: main queue only (the fetch of getImageFromURLString runs on a worker).

// Fits view to its superview, edge to edge, for good (it follows every later resize); without a superview,
// nothing happens.
void pinToSuperviewEdges(ui::View& view);

// Reads the picture at URLAddress, a file URL (for http and https use getImageFromURLString, which fetches them on
// a worker), in a task queued on the main queue and shows it in imageView. A text that is no URL, a resource that cannot be read and data that form no
// picture are logged; the image view is left as it was then. The image view may go away before the task runs.
void loadFrom(const std::shared_ptr<ui::ImageView>& imageView, const std::string& URLAddress);

// Longest time of one picture fetch, seconds.
inline constexpr double kImageFetchSeconds = 30;

// Fetches the picture at imageURLString (http, https or file) and shows it in imageView (no picture when the data
// form none); "Fetched image successfully" is printed for an http answer with status 200. The fetch starts from a
// task queued on the main queue and waits on a worker thread, never on the main queue; the outcome comes back to the
// main queue. The fetch gives up after kImageFetchSeconds (connecting and waiting for the server included) and
// at the end of the program, whose exit therefore never waits for a server that does not answer. A text that is no
// URL does nothing; a fetch that fails prints its reason and leaves the image view as it was. The tasks keep the
// image view alive.
void getImageFromURLString(const std::shared_ptr<ui::ImageView>& imageView, const std::string& imageURLString);
