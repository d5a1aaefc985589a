#include "record/service_session.h"

namespace quorvane {

ServiceSession::ServiceSession(SessionStart start, IWallClock& clock)
    : start_(std::move(start)), clock_(clock) {
    now_.image = start_.imageAsRead;
}

JournalEntry& ServiceSession::Add(JournalEntry::Kind kind) {
    JournalEntry& entry = journal_.emplace_back();
    entry.at = clock_.Now();
    entry.kind = kind;
    return entry;
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
    JournalEntry& entry = Add(JournalEntry::Kind::ValueSent);
    entry.sent = sent;
    const auto last = last_.find(sent.name);
    if (last != last_.end()) {
        entry.before = last->second;
    } else if (sent.address >= 0 &&
               static_cast<std::size_t>(sent.address) < start_.imageAsRead.size()) {
        // A parameter without an item: before its first send it holds what was read.
        entry.before = start_.imageAsRead[static_cast<std::size_t>(sent.address)];
    } else {
        entry.before = sent.value;
    }
    last_[sent.name] = sent.value;
    changed_ = changed_ || sent.source != ChangeSource::Connect;
}

void ServiceSession::SpecialOpEnded(const SpecialOpOutcome& outcome) {
    Add(JournalEntry::Kind::Outcome).outcome = outcome;
    changed_ = true;
}

std::vector<const JournalEntry*> ServiceSession::Curves() const {
    std::vector<const JournalEntry*> curves;
    for (const JournalEntry& e : journal_) {
        if (e.kind == JournalEntry::Kind::Outcome && !e.outcome.points.empty()) {
            curves.push_back(&e);
        }
    }
    return curves;
}

void ServiceSession::Note(std::string text) {
    Add(JournalEntry::Kind::Note).text = std::move(text);
}

void ServiceSession::Message(std::string text) {
    Add(JournalEntry::Kind::Message).text = std::move(text);
}

void ServiceSession::ImageWritten(std::string text) {
    Note(std::move(text));
    changed_ = true;
}

}  // namespace quorvane
