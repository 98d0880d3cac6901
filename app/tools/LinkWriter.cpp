#include "LinkWriter.h"

namespace {

// Hands a transfer to its link: what a kind of link does with a file is the link's own.
class CTransferWriter : public CLinkWriter
{
public:
    explicit CTransferWriter(SharedLink link) : m_pLink(std::move(link)) {}
    ~CTransferWriter() override
    {
        if (m_bBegun)
            m_pLink->EndTransfer();
    }

    int Write(const char* data, int n, int& error) override
    {
        return m_pLink->TransferWrite(data, n, error);
    }
    qint64 Pending(int& error) override { return m_pLink->TransferPending(error); }
    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        m_bBegun = true;
        m_pLink->BeginTransfer(stall);
    }

private:
    SharedLink m_pLink;
    bool m_bBegun = false;
};

} // namespace

std::unique_ptr<CLinkWriter> MakeLinkWriter(SharedLink link)
{
    return link ? std::make_unique<CTransferWriter>(std::move(link)) : nullptr;
}
