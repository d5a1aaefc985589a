#include "record/service_session.h"

namespace quorvane {

ServiceSession::ServiceSession(SessionStart start, IWallClock& clock)
    : start_(std::move(start)), clock_(clock) {
    now_.image = start_.imageAsRead;
}

void ServiceSession::Add(decltype(JournalEntry::what) what) {
    journal_.push_back({clock_.Now(), std::move(what)});
}

void ServiceSession::ItemsRead(const std::vector<ItemValue>& items) {
    if (itemsAsRead_.empty()) {
        itemsAsRead_ = items;
        now_.items = items;
    }
    for (const ItemValue& item : items) {
        last_[item.title] = item.value;
    }
}

void ServiceSession::ValueSent(const SentValue& sent) {
    JournalSend entry{sent, sent.value};
    const auto last = last_.find(sent.name);
    if (last != last_.end()) {
        entry.before = last->second;
    } else if (sent.address >= 0 &&
               static_cast<std::size_t>(sent.address) < start_.imageAsRead.size()) {
        // A parameter without an item: before its first send it holds what was read.
        entry.before = start_.imageAsRead[static_cast<std::size_t>(sent.address)];
    }
    Add(std::move(entry));
    last_[sent.name] = sent.value;
    changed_ = changed_ || sent.source != ChangeSource::Connect;
}

void ServiceSession::SpecialOpEnded(const SpecialOpOutcome& outcome) {
    Add(JournalOutcome{outcome});
    changed_ = true;
}

std::vector<const JournalEntry*> ServiceSession::Curves() const {
    std::vector<const JournalEntry*> curves;
    for (const JournalEntry& e : journal_) {
        if (e.Outcome() != nullptr && !e.Outcome()->points.empty()) {
            curves.push_back(&e);
        }
    }
    return curves;
}

void ServiceSession::Note(std::string text) {
    Add(JournalNote{std::move(text)});
}

void ServiceSession::Message(std::string text) {
    Add(JournalMessage{std::move(text)});
}

void ServiceSession::ImageWritten(std::string text) {
    Note(std::move(text));
    changed_ = true;
}

}  // namespace quorvane
