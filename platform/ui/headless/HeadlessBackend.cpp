#include "platform/ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <filesystem>

namespace kv::ui {

namespace {
class HeadlessView : public View {
public:
    explicit HeadlessView(Dialog& d) : dlg_(d) {}
    void controlChanged(int) override {}
    void titleChanged() override {}
    void invalidate(const Rect*) override { ++invalidations; }
    int clientWidth() const override { return dluToPxX(dlg_.dialogTemplate().w); }
    int clientHeight() const override { return dluToPxY(dlg_.dialogTemplate().h); }
    long invalidations = 0;

private:
    Dialog& dlg_;
};

bool answerFits(int answer, Buttons b) {
    switch (b) {
    case Buttons::Ok: return answer == IdOk;
    case Buttons::OkCancel: return answer == IdOk || answer == IdCancel;
    case Buttons::YesNo: return answer == IdYes || answer == IdNo;
    case Buttons::YesNoCancel: return answer == IdYes || answer == IdNo || answer == IdCancel;
    }
    return false;
}
} // namespace

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() {
    if (&backend() == this) setBackend(nullptr);
    // Children first: windows close in the reverse order of their opening.
    while (!modeless_.empty()) {
        std::unique_ptr<Dialog> d = std::move(modeless_.back());
        modeless_.pop_back();
        d->onDestroy();
        d->attachView(nullptr);
    }
    graveyard_.clear();
}

View& HeadlessBackend::attach(Dialog& dlg) {
    views_.push_back(std::make_unique<HeadlessView>(dlg));
    dlg.attachView(views_.back().get());
    return *views_.back();
}

void HeadlessBackend::detach(Dialog& dlg) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.dlg == &dlg; }),
                  timers_.end());
    View* v = dlg.view();
    dlg.attachView(nullptr);
    views_.erase(std::remove_if(views_.begin(), views_.end(),
                                [&](const auto& p) { return p.get() == v; }),
                 views_.end());
}

bool HeadlessBackend::runScript(Dialog& dlg) {
    auto it = scripts_.find(dlg.templateId());
    if (it == scripts_.end()) {
        if (!unscripted) return false;
        unscripted(dlg);
        return true;
    }
    auto script = std::move(it->second);
    scripts_.erase(it);
    script(dlg);
    return true;
}

int HeadlessBackend::runModal(Dialog& dlg, Dialog* /*owner*/) {
    opened.push_back(dlg.templateId());
    dlg.resetEnded();
    attach(dlg);
    dlg.initialize();
    if (!dlg.ended()) runScript(dlg);
    if (!dlg.ended())
        runTimers([&] {
            return dlg.ended() || std::none_of(timers_.begin(), timers_.end(),
                                               [&](const Timer& t) { return t.dlg == &dlg; });
        });
    // Nobody left to press a button: the dialog is cancelled.
    if (!dlg.ended()) dlg.dispatch(IdCancel, Notify::Clicked);
    if (!dlg.ended()) dlg.endDialog(IdCancel);
    dlg.onDestroy();
    detach(dlg);
    return dlg.result();
}

Dialog& HeadlessBackend::openModeless(std::unique_ptr<Dialog> dlg, Dialog* /*owner*/) {
    graveyard_.clear();
    opened.push_back(dlg->templateId());
    Dialog& d = *dlg;
    modeless_.push_back(std::move(dlg));
    attach(d);
    d.initialize();
    return d;
}

int HeadlessBackend::runSheet(PropertySheet& sheet, Dialog* owner) {
    sheet.resetEnded();
    attach(sheet);
    sheet.initialize();
    for (Dialog* p : sheet.pages()) attach(*p);
    if (!sheet.pages().empty()) sheet.setActivePage(sheet.activePage());
    // Scripts queued for any page run on that page, activating it.
    bool scripted = false;
    for (size_t i = 0; i < sheet.pages().size() && !sheet.ended(); ++i) {
        Dialog* p = sheet.pages()[i];
        if (scripts_.count(p->templateId())) {
            sheet.setActivePage(int(i));
            opened.push_back(p->templateId());
            runScript(*p);
            scripted = true;
        }
    }
    if (!scripted && unscripted && !sheet.pages().empty() && !sheet.ended()) {
        Dialog* p = sheet.pages()[size_t(sheet.activePage())];
        opened.push_back(p->templateId());
        unscripted(*p);
    }
    if (!sheet.ended()) sheet.dispatch(IdCancel, Notify::Clicked);
    if (!sheet.ended()) sheet.endDialog(IdCancel);
    for (Dialog* p : sheet.pages()) {
        if (p->initialized()) p->onDestroy();
        detach(*p);
    }
    sheet.onDestroy();
    detach(sheet);
    (void)owner;
    return sheet.result();
}

void HeadlessBackend::endDialog(Dialog&, int) {}

void HeadlessBackend::closeWindow(Dialog& dlg) {
    auto it = std::find_if(modeless_.begin(), modeless_.end(),
                           [&](const auto& p) { return p.get() == &dlg; });
    if (it == modeless_.end()) return;
    dlg.onDestroy();
    detach(dlg);
    // Deleted later: the close may come from one of the dialog's own handlers.
    graveyard_.push_back(std::move(*it));
    modeless_.erase(it);
}

int HeadlessBackend::messageBox(Dialog* owner, std::string_view text, std::string_view caption,
                                Icon icon, Buttons buttons) {
    RecordedMessage m;
    m.owner = owner ? owner->templateId() : 0;
    m.caption = std::string(caption);
    m.text = std::string(text);
    m.icon = icon;
    m.buttons = buttons;
    const bool question = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    const bool popups = answerRule == AnswerRule::Popups;
    m.answer = !question ? IdOk : popups ? IdNo : IdYes;
    const bool takes = !answers.empty() && (question || !popups || answers.front() == IdOk);
    if (takes) {
        int a = answers.front();
        answers.pop_front();
        if (answerFits(a, buttons)) m.answer = a;
    }
    messages.push_back(m);
    return m.answer;
}

void HeadlessBackend::setTimer(Dialog& dlg, int id, int periodMs) {
    if (periodMs < 1) periodMs = 1;
    for (auto& t : timers_)
        if (t.dlg == &dlg && t.id == id) {
            t.period = periodMs;
            t.due = now_ + periodMs;
            return;
        }
    timers_.push_back({&dlg, id, periodMs, now_ + periodMs});
}

void HeadlessBackend::killTimer(Dialog& dlg, int id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.dlg == &dlg && t.id == id; }),
                  timers_.end());
}

bool HeadlessBackend::hasTimer(const Dialog& dlg, int id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.dlg == &dlg && t.id == id; });
}

bool HeadlessBackend::hasTimer(const Dialog& dlg) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.dlg == &dlg; });
}

long HeadlessBackend::deliverNext(long limit) {
    auto next = std::min_element(timers_.begin(), timers_.end(),
                                 [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (next == timers_.end() || next->due > limit) return -1;
    now_ = next->due;
    next->due += next->period;
    Dialog* d = next->dlg;
    const int id = next->id;
    ++ticks;
    d->onTimer(id);
    return now_;
}

long HeadlessBackend::runTimers(const std::function<bool()>& done, long maxTicks) {
    long n = 0;
    while (!done() && n < maxTicks) {
        if (deliverNext(std::numeric_limits<long>::max()) < 0) break;
        ++n;
    }
    return n;
}

void HeadlessBackend::advance(long ms) {
    const long until = now_ + ms;
    while (deliverNext(until) >= 0) {
    }
    now_ = until;
}

bool HeadlessBackend::shellOpen(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) || !viewers) return false;
    shellOpened.push_back(path);
    return true;
}

bool HeadlessBackend::startDetached(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    if (ec || !fs::is_regular_file(st) || (st.permissions() & exec) == fs::perms::none) return false;
    started.push_back(path);
    return true;
}

std::optional<std::string> HeadlessBackend::fileDialog(Dialog*, const FileDialogRequest& req) {
    fileRequests.push_back(req);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
}

void HeadlessBackend::forget(Dialog& dlg) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.dlg == &dlg; }),
                  timers_.end());
    if (dlg.view()) detach(dlg);
}

void HeadlessBackend::queueScript(int templateId, std::function<void(Dialog&)> script) {
    scripts_.emplace(templateId, std::move(script));
}

std::vector<Dialog*> HeadlessBackend::modeless() const {
    std::vector<Dialog*> out;
    for (const auto& d : modeless_) out.push_back(d.get());
    return out;
}

RecordingCanvas HeadlessBackend::paint(Dialog& dlg) {
    RecordingCanvas c;
    dlg.onPaint(c);
    return c;
}

} // namespace kv::ui
