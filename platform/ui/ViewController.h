#pragma once

#include "platform/ui/View.h"

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace ui {

class ViewController;

// A transition by identifier from one controller to a new one; the source's prepare sees it before the destination
// appears.
struct Segue {
    std::string identifier;
    ViewController* source = nullptr;
    std::shared_ptr<ViewController> destination;
};

// A screen: owns a root view, made on first access (loadView, then viewDidLoad), and gets the appearance calls as
// it comes and goes. A controller presents at most one other controller modally at a time; the presented one's
// view covers the presenting one's view until it is dismissed: it takes the same frame and is added last to the
// same superview (or, for a presenting view outside any tree, added as its last subview, sized to its bounds).
// Presentation and dismissal complete at once (the animated flag is passed to the appearance calls only); the
// completion runs after the appearance calls. The presenting controller owns the presented one; a dismissed
// controller goes when the event being delivered ends (see releaseAfterEvent), so a tap may close its own screen.
// Segues are registered by identifier with a factory of their destination; performSegue makes the destination,
// hands it to prepare and presents it.
//
// Thread contract: main thread only.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The root view; loads it on first use.
    View& view();
    std::shared_ptr<View> viewPointer();
    bool isViewLoaded() const { return view_ != nullptr; }

    // Makes the root view; the default makes a plain View. Overrides call setView.
    virtual void loadView();
    void setView(std::shared_ptr<View> view);

    virtual void viewDidLoad() {}
    // The view has its frame by then.
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    // The system runs short of memory: a screen may let go of what it can make again. The default does nothing.
    virtual void didReceiveMemoryWarning() {}
    // For back ends that hear the system's memory warnings: calls didReceiveMemoryWarning on every controller whose
    // view is shown in a window, oldest controller first. A controller that goes away meanwhile is skipped.
    static void sendMemoryWarning();

    // Presents controller over this one. Refused (false, nothing happens) when controller is null, already
    // presented somewhere, or when this controller already presents one.
    bool present(std::shared_ptr<ViewController> controller, bool animated, std::function<void()> completion = {});
    // Dismisses the controller this one presents or, when it presents none, this one from its presenter; a
    // controller presented above the dismissed one goes with it. Returns false when there is nothing to dismiss.
    bool dismiss(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const { return presented_.get(); }
    ViewController* presentingViewController() const { return presenting_; }
    // The controller at the top of the chain of presentations that starts here (this one when it presents none).
    ViewController* topViewController();

    using SegueFactory = std::function<std::shared_ptr<ViewController>()>;
    void registerSegue(const std::string& identifier, SegueFactory factory);
    // Makes the destination, calls prepare(segue, sender) and presents it, animated. False (and nothing else)
    // for an identifier that is not registered, a factory that makes nothing or a refused presentation.
    bool performSegue(const std::string& identifier, const std::any& sender = {});
    // Hook for wiring the destination of a segue before it appears; the default does nothing.
    virtual void prepare(Segue& segue, const std::any& sender);

private:
    std::shared_ptr<View> view_;
    std::shared_ptr<ViewController> presented_;
    ViewController* presenting_ = nullptr;
    std::map<std::string, SegueFactory> segues_;
};

}  // namespace ui
