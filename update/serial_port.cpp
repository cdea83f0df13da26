#include "update/serial_port.h"

#include <cstdio>

namespace strovane::update {

namespace p = platform;

namespace {

constexpr std::uint32_t kBaudRates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                        38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
constexpr std::uint32_t kPurgeAll = p::kPurgeTxAbort | p::kPurgeRxAbort | p::kPurgeTxClear | p::kPurgeRxClear;
// The DCB flag bit of each TCommOption, in the option order.
constexpr std::uint32_t kOptionBits[] = {p::kDcbParity, p::kDcbDsrSensitivity, p::kDcbTxContinueOnXoff,
                                         p::kDcbErrorChar, p::kDcbNull};

void directCall(const std::function<void()>& call) {
    call();
}

} // namespace

std::uint32_t BaudRateValue(TBaudrate Value) {
    return kBaudRates[Value];
}

TCustomComm::TCustomComm() : m_synchronize(directCall) {}

TCustomComm::~TCustomComm() {
    Close();
    *m_alive = false;
}

void TCustomComm::RaiseCommError(const std::string& Msg, std::int32_t Code) {
    char code[32];
    std::snprintf(code, sizeof code, " (Error: %d) ", static_cast<int>(Code));
    throw ECommError(Msg + code, Code);
}

void TCustomComm::RequireClosed() {
    if (Enabled())
        RaiseCommError("Port already assigned (open)", -1);
}

void TCustomComm::Open() {
    RequireClosed();
    OpenDevice();
    if (!Enabled())
        return;
    FEventThread = TCommEventThread::Create(
        FHandle, FMonitorEvents,
        [this](TCommEventThread* Sender, std::uint32_t Status) { HandleCommEvent(Sender, Status); },
        m_synchronize);
    UpdateCommTimeouts();
    UpdateDataControlBlock();
    if (const auto err = FHandle->setupComm(FReadBufSize, FWriteBufSize))
        RaiseCommError("Error initializing Read/Write Buffers", static_cast<std::int32_t>(err));
}

void TCustomComm::OpenDevice() {
    std::unique_ptr<p::SerialDevice> device = m_deviceFactory ? m_deviceFactory() : p::createSerialDevice();
    if (const auto err = device->open(FDeviceName))
        RaiseCommError("Error accessing specified device", static_cast<std::int32_t>(err));
    FHandle = std::move(device);
    if (!FHandle->isCharDevice()) {
        CloseDevice();
        RaiseCommError("Invalid device handle, access denied", -1);
    }
}

void TCustomComm::Close() {
    if (!Enabled())
        return;
    if (FEventThread) {
        FEventThread->Stop();
        // The thread purges on its way out unless it is parked in a notification for this
        // (the user-interface) thread; then the purge is done here, before the handle closes.
        if (!FEventThread->Release())
            FHandle->purgeComm(kPurgeAll);
        FEventThread.reset();
    }
    CloseDevice();
}

void TCustomComm::CloseDevice() {
    if (FHandle) {
        FHandle->close();
        FHandle.reset();
    }
}

void TCustomComm::SetDeviceFactory(p::SerialDeviceFactory Factory) {
    RequireClosed();
    m_deviceFactory = std::move(Factory);
}

void TCustomComm::SetSynchronize(TSynchronizeMethod Synchronize) {
    RequireClosed();
    m_synchronize = Synchronize ? std::move(Synchronize) : TSynchronizeMethod(directCall);
}

void TCustomComm::UpdateCommTimeouts() {
    if (const auto err = FHandle->setCommTimeouts())
        RaiseCommError("Error updating CommTimeouts", static_cast<std::int32_t>(err));
}

void TCustomComm::UpdateDataControlBlock() {
    if (!Enabled())
        return;
    FHandle->getCommState(FDCB); // the block starts from the port's state; its result is ignored
    FDCB.BaudRate = kBaudRates[FBaudRate];
    FDCB.Parity = FParity;
    FDCB.StopBits = FStopbits;
    FDCB.ByteSize = static_cast<std::uint8_t>(FDatabits + 4);
    FDCB.XonChar = FEventChars.XonChar();
    FDCB.XoffChar = FEventChars.XoffChar();
    FDCB.ErrorChar = FEventChars.ErrorChar();
    FDCB.EofChar = FEventChars.EofChar();
    FDCB.EvtChar = FEventChars.EvtChar();
    FDCB.XonLim = static_cast<std::uint16_t>(FReadBufSize / 4);
    FDCB.XoffLim = static_cast<std::uint16_t>(FReadBufSize / 4);
    ApplyFlowControl();
    for (unsigned i = 0; i < std::size(kOptionBits); ++i) {
        if (FOptions.Contains(static_cast<TCommOption>(i)))
            FDCB.Flags |= kOptionBits[i];
        else
            FDCB.Flags &= ~kOptionBits[i];
    }
    if (const auto err = FHandle->setCommState(FDCB))
        RaiseCommError("Error updating DataControlBlock", static_cast<std::int32_t>(err));
}

void TCustomComm::ApplyFlowControl() {
    switch (FFlowControl) {
    case fcNone:
        FDCB.Flags = p::kDcbBinary;
        break;
    // The handshakes set their line's control mode outright: adding the handshake bit to a port
    // that reported the line enabled would make mode 3, which no driver takes.
    case fcCTS:
        FDCB.Flags = (FDCB.Flags & ~p::kDcbRtsControlMask) | p::kDcbOutxCtsFlow | p::kDcbRtsControlHandshake;
        break;
    case fcDTR:
        FDCB.Flags = (FDCB.Flags & ~p::kDcbDtrControlMask) | p::kDcbOutxDsrFlow | p::kDcbDtrControlHandshake;
        break;
    case fcSoftware:
        FDCB.Flags |= p::kDcbOutX | p::kDcbInX;
        break;
    case fcDefault:
        break;
    }
}

std::int32_t TCustomComm::Write(const void* Buf, std::int32_t Count) {
    Lock();
    const p::SerialTransfer t =
        FHandle ? FHandle->writeFile(Buf, Count, FWriteTimeout)
                : p::SerialTransfer{p::SerialTransfer::Status::Failed, 0, p::invalidHandleError()};
    Unlock();
    if (t.status == p::SerialTransfer::Status::Failed)
        RaiseCommError("Write error", static_cast<std::int32_t>(t.error));
    return t.status == p::SerialTransfer::Status::TimedOut ? -1 : t.count;
}

std::int32_t TCustomComm::Read(void* Buf, std::int32_t Count) {
    Lock();
    const p::SerialTransfer t =
        FHandle ? FHandle->readFile(Buf, Count, FReadTimeout)
                : p::SerialTransfer{p::SerialTransfer::Status::Failed, 0, p::invalidHandleError()};
    Unlock();
    if (t.status == p::SerialTransfer::Status::Failed)
        RaiseCommError("Read error", static_cast<std::int32_t>(t.error));
    return t.status == p::SerialTransfer::Status::TimedOut ? -1 : t.count;
}

std::int32_t TCustomComm::InQueCount() {
    if (!Enabled())
        return -1;
    p::SerialStatus stat;
    FHandle->clearCommError(stat);
    return static_cast<std::int32_t>(stat.InQue);
}

std::int32_t TCustomComm::OutQueCount() {
    if (!Enabled())
        return -1;
    p::SerialStatus stat;
    FHandle->clearCommError(stat);
    return static_cast<std::int32_t>(stat.OutQue);
}

void TCustomComm::PurgeIn() {
    if (Enabled())
        FHandle->purgeComm(p::kPurgeRxAbort | p::kPurgeRxClear);
}

void TCustomComm::PurgeOut() {
    if (Enabled())
        FHandle->purgeComm(p::kPurgeTxAbort | p::kPurgeTxClear);
}

void TCustomComm::EscapeComm(std::uint32_t Function) {
    if (!Enabled())
        RaiseCommError("Port not open, unable to complete operation", -1);
    if (const auto err = FHandle->escapeCommFunction(Function))
        RaiseCommError("EscapeCommFunction failure", static_cast<std::int32_t>(err));
}

void TCustomComm::SetDTRState(bool State) {
    EscapeComm(State ? p::kSetDtr : p::kClrDtr);
}
void TCustomComm::SetRTSState(bool State) {
    EscapeComm(State ? p::kSetRts : p::kClrRts);
}
void TCustomComm::SetXONState(bool State) {
    EscapeComm(State ? p::kSetXon : p::kSetXoff);
}

void TCustomComm::SetBREAKState(bool State) {
    EscapeComm(State ? p::kSetBreak : p::kClrBreak);
    if (Enabled())
        FHandle->purgeComm(kPurgeAll);
}

bool TCustomComm::modemLine(std::uint32_t bit) {
    std::uint32_t status = 0;
    return Enabled() && FHandle->getCommModemStatus(status) == 0 && (status & bit);
}

bool TCustomComm::CTS() {
    return modemLine(p::kMsCtsOn);
}
bool TCustomComm::DSR() {
    return modemLine(p::kMsDsrOn);
}
bool TCustomComm::RING() {
    return modemLine(p::kMsRingOn);
}
bool TCustomComm::RLSD() {
    return modemLine(p::kMsRlsdOn);
}

bool TCustomComm::holdFlag(std::uint32_t bit) {
    if (!Enabled())
        return false;
    p::SerialStatus stat;
    FHandle->clearCommError(stat);
    return stat.HoldFlags & bit;
}

bool TCustomComm::CtsHold() {
    return holdFlag(p::kHoldCts);
}
bool TCustomComm::DsrHold() {
    return holdFlag(p::kHoldDsr);
}
bool TCustomComm::RlsdHold() {
    return holdFlag(p::kHoldRlsd);
}
bool TCustomComm::XoffHold() {
    return holdFlag(p::kHoldXoff);
}
bool TCustomComm::XOffSent() {
    return holdFlag(p::kHoldXoffSent);
}

void TCustomComm::SetDeviceName(const std::string& Value) {
    if (Value == FDeviceName)
        return;
    RequireClosed();
    FDeviceName = Value;
}

void TCustomComm::SetReadBufSize(std::int32_t Value) {
    if (Value == FReadBufSize)
        return;
    RequireClosed();
    FReadBufSize = Value;
}

void TCustomComm::SetWriteBufSize(std::int32_t Value) {
    if (Value == FWriteBufSize)
        return;
    RequireClosed();
    FWriteBufSize = Value;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes Value) {
    if (Value == FMonitorEvents)
        return;
    RequireClosed();
    FMonitorEvents = Value;
}

void TCustomComm::SetBaudRate(TBaudrate Value) {
    if (Value == FBaudRate)
        return;
    FBaudRate = Value;
    UpdateDataControlBlock();
}

void TCustomComm::SetParity(TParity Value) {
    if (Value == FParity)
        return;
    FParity = Value;
    UpdateDataControlBlock();
}

void TCustomComm::SetStopbits(TStopbits Value) {
    if (Value == FStopbits)
        return;
    FStopbits = Value;
    UpdateDataControlBlock();
}

void TCustomComm::SetDatabits(TDatabits Value) {
    if (Value == FDatabits)
        return;
    FDatabits = Value;
    UpdateDataControlBlock();
}

void TCustomComm::SetOptions(TCommOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    UpdateDataControlBlock();
}

void TCustomComm::SetFlowControl(TFlowControl Value) {
    if (Value == FFlowControl)
        return;
    FFlowControl = Value;
    UpdateDataControlBlock();
}

void TCustomComm::HandleCommEvent(TCommEventThread* /*Sender*/, std::uint32_t Status) {
    if (!Enabled())
        return;
    p::SerialStatus stat;
    FHandle->clearCommError(stat); // its result is ignored
    const std::shared_ptr<bool> alive = m_alive;
    const p::SerialDevice* port = FHandle.get();
    // A handler may close or destroy the component; then the remaining bits go nowhere.
    const auto stillOpen = [&] { return *alive && FHandle.get() == port; };
    const auto notify = [&](std::uint32_t bit, const TNotifyEvent& handler) {
        if ((Status & bit) && stillOpen() && handler) {
            const TNotifyEvent call = handler; // the handler may free the component it belongs to
            call(this);
        }
    };
    notify(p::kEvBreak, FOnBreak);
    notify(p::kEvCts, FOnCts);
    notify(p::kEvDsr, FOnDsr);
    if ((Status & p::kEvErr) && stillOpen() && FOnError) {
        const TCommErrorEvent call = FOnError;
        call(this, static_cast<std::int32_t>(stat.Errors));
    }
    notify(p::kEvRing, FOnRing);
    notify(p::kEvRlsd, FOnRlsd);
    if ((Status & p::kEvRxChar) && stillOpen() && FOnRxChar && stat.InQue > 0) {
        const TCommRxCharEvent call = FOnRxChar;
        call(this, static_cast<std::int32_t>(stat.InQue));
    }
    notify(p::kEvRxFlag, FOnRxFlag);
    notify(p::kEvTxEmpty, FOnTxEmpty);
}

} // namespace strovane::update
