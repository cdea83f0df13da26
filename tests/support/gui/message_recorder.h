#pragma once

#include "widgets/gui/message_boxes.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace strovane::testing {

// Records every message box instead of showing it; questions take queued answers.
class MessageRecorder final : public widgets::MessageBoxes {
public:
    enum class Kind { Error, Plain, Question };
    struct Box {
        Kind kind;
        QString text;
        QString detail;
    };

    void error(const QString& text, const QString& detail = QString()) override {
        boxes.push_back({Kind::Error, text, detail});
    }
    void plain(const QString& text) override { boxes.push_back({Kind::Plain, text, {}}); }
    bool question(const QString& text) override {
        boxes.push_back({Kind::Question, text, {}});
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Texts of the recorded boxes, in order.
    QStringList texts() const {
        QStringList out;
        for (const Box& b : boxes)
            out << b.text;
        return out;
    }
    void clear() { boxes.clear(); }

    std::vector<Box> boxes;
    std::deque<bool> answers; // answers for question(); No when empty
};

} // namespace strovane::testing
