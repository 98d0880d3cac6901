// The commands that meet the world outside the variables: IN, OUT, PRINT, PRINTEX and SYNC.
// Their checkers are in IoCommandsCheck.cpp.
#include "CTSL.h"

#include "ControlCodes.h"
#include "NumberText.h"
#include "ScriptEncoding.h"
#include "SyncNotify.h"

#include <QCoreApplication>
#include <QPointer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr int kTranslateBufferBytes = 256;
constexpr int kMaxPrintChars = 4095;
constexpr int kSyncWaitMs = 1000;
constexpr auto kSyncPollInterval = std::chrono::milliseconds(1);
constexpr int kPrintRoomPollMs = 1;

// The bytes of a variable up to its first NUL, its size or `limit`, whichever comes first.
std::string BufferText(const CVariableTable& var, size_t limit)
{
    const char* bytes = reinterpret_cast<const char*>(var.value.pBuffer);
    if (!bytes)
        return {};
    return std::string(bytes, strnlen(bytes, std::min(static_cast<size_t>(var.nSize), limit)));
}

// The bytes of a variable, its whole size up to `limit`.
std::string BufferBytes(const CVariableTable& var, size_t limit)
{
    const char* bytes = reinterpret_cast<const char*>(var.value.pBuffer);
    if (!bytes)
        return {};
    return std::string(bytes, std::min(static_cast<size_t>(var.nSize), limit));
}

std::string QuotedInner(const char* pszOperand)
{
    const size_t length = std::strlen(pszOperand);
    return length >= 2 ? std::string(pszOperand + 1, length - 2) : std::string();
}

// Translates control-code notation. With malformed notation `ok` is false and the result holds
// what was translated before the fault.
std::string Translate(const std::string& text, bool& ok)
{
    unsigned char buffer[kTranslateBufferBytes] = {};
    const int length = static_cast<int>(std::min<size_t>(text.size(), sizeof buffer));
    const int written = tsl::TranslateString(text.data(), buffer, length);
    ok = written >= 0;
    const char* bytes = reinterpret_cast<const char*>(buffer);
    return ok ? std::string(bytes, static_cast<size_t>(written))
              : std::string(bytes, strnlen(bytes, sizeof buffer));
}

std::string HexLine(const std::string& bytes)
{
    std::string line;
    char pair[4];
    for (unsigned char b : bytes) {
        std::snprintf(pair, sizeof pair, "%02x ", b);
        line += pair;
    }
    return line;
}

// A line of text is a C string: it ends at its first NUL.
std::string TextLine(const std::string& bytes)
{
    return bytes.substr(0, strnlen(bytes.c_str(), bytes.size()));
}

} // namespace

void CTSL::_In(CCommandTable* pCmd)
{
    if (CVariableTable* array = ArrayOf(pCmd->m_operand[0]); array && array->nSize > 0) {
        char* bytes = reinterpret_cast<char*>(array->value.pBuffer);
        const size_t size = static_cast<size_t>(array->nSize);
        std::memset(bytes, 0, strnlen(bytes, size));
        const size_t n =
            m_pRecvData ? std::min(static_cast<size_t>(std::max(m_nRecvLength, 0)), size - 1) : 0;
        if (n > 0)
            std::memcpy(bytes, m_pRecvData, n);
        bytes[n] = '\0';
    }
    if (CVariableTable* count = ScalarTarget(pCmd->m_operand[1]))
        StoreScalar(*count, m_nRecvLength);
}

void CTSL::_Out(CCommandTable* pCmd)
{
    std::string text;
    if (pCmd->szOperand(0)[0] == '"') {
        text = QuotedInner(pCmd->szOperand(0));
    } else {
        const CVariableTable* var = pCmd->m_operand[0].exact;
        if (!var || var->byKind == KIND_VAR)
            return;
        text = BufferText(*var, kTranslateBufferBytes);
    }
    bool ok = false;
    const std::string bytes = Translate(text, ok);
    if (ok)
        SendString(reinterpret_cast<const unsigned char*>(bytes.data()),
                   static_cast<int>(bytes.size()), m_nOutInterval);
}

void CTSL::_Print(CCommandTable* pCmd)
{
    PrintLine(pCmd, false);
}

void CTSL::_PrintEx(CCommandTable* pCmd)
{
    PrintLine(pCmd, true);
}

void CTSL::PrintLine(CCommandTable* pCmd, bool bTranslate)
{
    const bool hex = pCmd->byOperandCount >= 2 && pCmd->szOperand(1)[0] != 'T';
    // Text written in the script (a quoted text, an EQU) is shown as text whatever the file's
    // encoding; received bytes, hex dumps and the bytes control codes stand for stay as they are.
    const auto shown = [hex](std::string bytes) {
        return hex ? bytes : tsl::ScriptTextAsUtf8(bytes);
    };
    std::string line;
    if (pCmd->szOperand(0)[0] == '"') {
        std::string bytes = shown(QuotedInner(pCmd->szOperand(0)));
        bool ok = true;
        if (bTranslate)
            bytes = Translate(bytes, ok);
        line = !hex ? TextLine(bytes) : ok ? HexLine(bytes) : std::string();
    } else if (const CVariableTable* var = pCmd->m_operand[0].exact) {
        const bool scriptText = var->byKind == KIND_EQU || var->byKind == KIND_ASSIGN;
        if (var->byKind == KIND_VAR) {
            const int32_t whole = tsl::WrapToInt32(ScalarValue(*var));
            char number[16];
            if (hex)
                std::snprintf(number, sizeof number, "%x", static_cast<uint32_t>(whole));
            else
                std::snprintf(number, sizeof number, "%ld", static_cast<long>(whole));
            line = number;
        } else if (bTranslate) {
            bool ok = true;
            std::string bytes = BufferBytes(*var, kTranslateBufferBytes);
            bytes = Translate(scriptText ? shown(bytes) : bytes, ok);
            line = !hex ? TextLine(bytes) : ok ? HexLine(bytes) : std::string();
        } else {
            const std::string bytes = BufferText(*var, static_cast<size_t>(var->nSize));
            line = hex ? HexLine(bytes) : scriptText ? shown(bytes) : bytes;
        }
    } else {
        return; // an unknown name prints nothing
    }
    if (line.size() > kMaxPrintChars)
        line.resize(kMaxPrintChars);
    QueuePrint(line);
}

bool CTSL::HasPrintRoom(size_t bytes)
{
    // The output window takes lines from the head; forget the sizes of those it took.
    while (m_printSizes.size() > m_listPrint.size()) {
        m_nPrintBytes -= m_printSizes.front();
        m_printSizes.pop_front();
    }
    return m_listPrint.empty() ||
           (m_listPrint.size() < kMaxPrintLines && m_nPrintBytes + bytes <= kMaxPrintBytes);
}

void CTSL::QueuePrint(const std::string& strLine)
{
    {
        std::unique_lock lock(m_csPrint);
        while (!HasPrintRoom(strLine.size())) {
            // The window takes lines under the lock without telling anyone: look again after
            // a moment. A stop ends the wait at once and the line goes with the run.
            lock.unlock();
            if (!m_pRun->SleepFor(kPrintRoomPollMs))
                return;
            lock.lock();
        }
        m_listPrint.push_back(std::make_unique<CPrintMessage>(strLine));
        m_printSizes.push_back(static_cast<uint32_t>(strLine.size()));
        m_nPrintBytes += strLine.size();
    }
    m_printQueued.notify_all();
    if (m_printListener)
        m_printListener();
}

bool CTSL::WaitForPrint(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_csPrint);
    return m_printQueued.wait_for(lock, timeout, [this] { return !m_listPrint.empty(); });
}

void CTSL::_Sync(CCommandTable* pCmd)
{
    auto notify = std::make_shared<TSL_SYNC_NOTIFY>();
    notify->hwndFrom = m_pParent;
    notify->idFrom = static_cast<uint32_t>(m_nParentId);
    notify->value = pCmd->m_operand[0].integer;
    notify->text = pCmd->szOperand(0);

    // The receiver is the host's owner.
    if (QObject* receiver = m_pParent ? m_pParent->parent() : nullptr)
        QCoreApplication::postEvent(receiver, new CSyncNotifyEvent(notify));

    // Wait for the answer, at most a second, and no longer than the run lasts. Short sleeps
    // keep the wait from burning a core.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSyncWaitMs);
    while (notify->waiting.load(std::memory_order_acquire) != 0 && m_pRun->IsSet() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kSyncPollInterval);
}
