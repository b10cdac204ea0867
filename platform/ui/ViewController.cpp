#include "platform/ui/ViewController.h"

#include "platform/ui/EventScope.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ui {

namespace {

// Every controller alive, oldest first (main thread only). Never destroyed, so that controllers that outlive the
// program's other statics can still leave it.
std::vector<ViewController*>& liveControllers() {
    static auto* controllers = new std::vector<ViewController*>;
    return *controllers;
}

}  // namespace

ViewController::ViewController() { liveControllers().push_back(this); }

ViewController::~ViewController() {
    if (presented_) presented_->presenting_ = nullptr;
    auto& controllers = liveControllers();
    controllers.erase(std::find(controllers.begin(), controllers.end(), this));
}

void ViewController::sendMemoryWarning() {
    const std::vector<ViewController*> warned = liveControllers();
    for (ViewController* controller : warned) {
        const auto& live = liveControllers();
        if (std::find(live.begin(), live.end(), controller) == live.end()) continue;
        if (controller->isViewLoaded() && controller->view_->window() != nullptr) controller->didReceiveMemoryWarning();
    }
}

View& ViewController::view() {
    return *viewPointer();
}

std::shared_ptr<View> ViewController::viewPointer() {
    if (!view_) {
        loadView();
        if (!view_) view_ = std::make_shared<View>();
        viewDidLoad();
    }
    return view_;
}

void ViewController::loadView() {
    view_ = std::make_shared<View>();
}

void ViewController::setView(std::shared_ptr<View> view) {
    view_ = std::move(view);
}

bool ViewController::present(std::shared_ptr<ViewController> controller, bool animated,
                             std::function<void()> completion) {
    if (!controller || controller.get() == this || controller->presenting_ || presented_) return false;
    View& covered = view();
    std::shared_ptr<View> shown = controller->viewPointer();
    presented_ = controller;
    controller->presenting_ = this;
    // Over the covered view as its next sibling, so that the covered view's own subviews, whatever it adds
    // later, stay below; a view outside any tree takes it as its own last subview.
    View* container = covered.superview();
    shown->setFrame(container ? covered.frame() : covered.bounds());
    controller->viewWillAppear(animated);
    (container ? container : &covered)->addSubview(shown);
    controller->viewDidAppear(animated);
    if (completion) completion();
    return true;
}

bool ViewController::dismiss(bool animated, std::function<void()> completion) {
    if (!presented_) {
        return presenting_ ? presenting_->dismiss(animated, std::move(completion)) : false;
    }
    // Kept alive here: the dismissed controller may be the one whose call brought us here.
    std::shared_ptr<ViewController> leaving = presented_;
    if (leaving->presented_) leaving->dismiss(animated);
    leaving->viewWillDisappear(animated);
    leaving->view().removeFromSuperview();
    presented_.reset();
    leaving->presenting_ = nullptr;
    leaving->viewDidDisappear(animated);
    if (completion) completion();
    // A touch on the dismissed screen may have closed it: its handlers are still running.
    releaseAfterEvent(std::move(leaving));
    return true;
}

ViewController* ViewController::topViewController() {
    ViewController* top = this;
    while (top->presented_) top = top->presented_.get();
    return top;
}

void ViewController::registerSegue(const std::string& identifier, SegueFactory factory) {
    segues_[identifier] = std::move(factory);
}

bool ViewController::performSegue(const std::string& identifier, const std::any& sender) {
    auto it = segues_.find(identifier);
    if (it == segues_.end() || !it->second) return false;
    Segue segue{identifier, this, it->second()};
    if (!segue.destination) return false;
    prepare(segue, sender);
    return present(segue.destination, true);
}

void ViewController::prepare(Segue&, const std::any&) {}

}  // namespace ui
