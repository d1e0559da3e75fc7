#include "statusline.h"

#include "textmsg.h"

TStatusLine::TStatusLine(TTextMsg* texts, QObject* parent) : QObject(parent), m_texts(texts)
{
    m_timer.setInterval(kInterval);
    connect(&m_timer, &QTimer::timeout, this, &TStatusLine::tick);
}

void TStatusLine::ShowMessage(const QString& text)
{
    if (!m_texts)
        return;
    m_text = text;
    m_counter = 1;
    m_texts->SetText(text, TTextMsg::kStatusLine, true);
    m_timer.start(); // restarts a running timer
}

void TStatusLine::ClearMessage()
{
    if (!m_texts)
        return;
    m_timer.stop();
    m_text.clear();
    m_counter = 1;
    m_texts->SetText(QString(), TTextMsg::kStatusLine, true);
}

void TStatusLine::tick()
{
    if (!m_texts)
        return;
    if (m_counter >= kLastCount) {
        m_timer.stop();
        return;
    }
    m_texts->SetText(m_counter % 2 == 0 ? m_text : QString(), TTextMsg::kStatusLine, true);
    ++m_counter;
}
