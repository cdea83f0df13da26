#pragma once

#include "platform/serial_device.h"
#include "update/serial_event_chars.h"
#include "update/serial_event_thread.h"
#include "update/sync_objects.h"
#include "update/serial_types.h"

#include <cstdint>
#include <memory>
#include <string>

namespace strovane::update {

// One serial port: line settings, transfers with time-outs, queues, control and modem lines, and
// an event thread per open port whose events reach the handlers on the user-interface thread.
// Every public operation and every handler runs on the user-interface thread.
class TCustomComm {
public:
    TCustomComm();
    virtual ~TCustomComm();
    TCustomComm(const TCustomComm&) = delete;
    TCustomComm& operator=(const TCustomComm&) = delete;

    void Open();
    // Stops the event thread and releases the device; nothing when closed. Never raises.
    void Close();
    bool Enabled() const { return FHandle != nullptr; }

    // Bytes transferred, or -1 on time-out.
    std::int32_t Write(const void* Buf, std::int32_t Count);
    std::int32_t Read(void* Buf, std::int32_t Count);
    // Bytes in the driver's queues; -1 when closed.
    std::int32_t InQueCount();
    std::int32_t OutQueCount();
    void PurgeIn();
    void PurgeOut();
    void SetDTRState(bool State);
    void SetRTSState(bool State);
    void SetBREAKState(bool State);
    void SetXONState(bool State);

    // The open device, or none when closed.
    platform::SerialDevice* Handle() const { return FHandle.get(); }
    // Modem lines; false when closed or unreadable.
    bool CTS();
    bool DSR();
    bool RING();
    bool RLSD();
    // Transmit holds; reading one clears the port's error state.
    bool CtsHold();
    bool DsrHold();
    bool RlsdHold();
    bool XoffHold();
    bool XOffSent();

    // Where Open gets its device (default: this platform's backend). Only while closed.
    void SetDeviceFactory(platform::SerialDeviceFactory Factory);
    // How the event thread reaches the user-interface thread (default: a direct call on the event
    // thread). The application passes a blocking queued call. Only while closed.
    void SetSynchronize(TSynchronizeMethod Synchronize);

protected:
    friend class TCommEventChars; // a changed special character re-applies the line settings

    // Rewrites the port's device control block from the properties; nothing while closed.
    void UpdateDataControlBlock();

    // --- properties (published by TComm) ---
    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& Value);
    std::int32_t ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(std::int32_t Value) { FReadTimeout = Value; }
    std::int32_t WriteTimeout() const { return FWriteTimeout; }
    void SetWriteTimeout(std::int32_t Value) { FWriteTimeout = Value; }
    std::int32_t ReadBufSize() const { return FReadBufSize; }
    void SetReadBufSize(std::int32_t Value);
    std::int32_t WriteBufSize() const { return FWriteBufSize; }
    void SetWriteBufSize(std::int32_t Value);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TCommEventTypes Value);
    TBaudrate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudrate Value);
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TStopbits Value);
    TDatabits Databits() const { return FDatabits; }
    void SetDatabits(TDatabits Value);
    TCommEventChars& EventChars() { return FEventChars; }
    TCommOptions Options() const { return FOptions; }
    void SetOptions(TCommOptions Value);
    TFlowControl FlowControl() const { return FFlowControl; }
    void SetFlowControl(TFlowControl Value);
    const TNotifyEvent& OnBreak() const { return FOnBreak; }
    void SetOnBreak(TNotifyEvent Value) { FOnBreak = std::move(Value); }
    const TNotifyEvent& OnCts() const { return FOnCts; }
    void SetOnCts(TNotifyEvent Value) { FOnCts = std::move(Value); }
    const TNotifyEvent& OnDsr() const { return FOnDsr; }
    void SetOnDsr(TNotifyEvent Value) { FOnDsr = std::move(Value); }
    const TNotifyEvent& OnRing() const { return FOnRing; }
    void SetOnRing(TNotifyEvent Value) { FOnRing = std::move(Value); }
    const TNotifyEvent& OnRlsd() const { return FOnRlsd; }
    void SetOnRlsd(TNotifyEvent Value) { FOnRlsd = std::move(Value); }
    const TCommErrorEvent& OnError() const { return FOnError; }
    void SetOnError(TCommErrorEvent Value) { FOnError = std::move(Value); }
    const TCommRxCharEvent& OnRxChar() const { return FOnRxChar; }
    void SetOnRxChar(TCommRxCharEvent Value) { FOnRxChar = std::move(Value); }
    const TNotifyEvent& OnRxFlag() const { return FOnRxFlag; }
    void SetOnRxFlag(TNotifyEvent Value) { FOnRxFlag = std::move(Value); }
    const TNotifyEvent& OnTxEmpty() const { return FOnTxEmpty; }
    void SetOnTxEmpty(TNotifyEvent Value) { FOnTxEmpty = std::move(Value); }

    // --- internals ---
    [[noreturn]] void RaiseCommError(const std::string& Msg, std::int32_t Code);
    // Opens the device named DeviceName; a descendant may decline by leaving the port closed.
    virtual void OpenDevice();
    void CloseDevice();
    void RequireClosed();
    void UpdateCommTimeouts();
    void ApplyFlowControl();
    void EscapeComm(std::uint32_t Function);
    // Dispatches one event mask to the handlers, in the fixed order of the event bits.
    void HandleCommEvent(TCommEventThread* Sender, std::uint32_t Status);
    void Lock() { FCriticalSection.lock(); }
    void Unlock() { FCriticalSection.unlock(); }

    std::shared_ptr<platform::SerialDevice> FHandle;
    platform::SerialDcb FDCB;
    std::string FDeviceName = "Com2";
    RecursiveLock FCriticalSection;
    std::int32_t FReadTimeout = 1000;
    std::int32_t FWriteTimeout = 1000;
    std::int32_t FReadBufSize = 4096;
    std::int32_t FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = kAllCommEvents;
    TBaudrate FBaudRate = br9600;
    TParity FParity = paNone;
    TStopbits FStopbits = sb10;
    TDatabits FDatabits = da8;
    std::shared_ptr<TCommEventThread> FEventThread;
    TCommEventChars FEventChars{this};
    TCommOptions FOptions;
    TFlowControl FFlowControl = fcDefault;
    TNotifyEvent FOnBreak, FOnCts, FOnDsr;
    TCommErrorEvent FOnError;
    TNotifyEvent FOnRing, FOnRlsd;
    TCommRxCharEvent FOnRxChar;
    TNotifyEvent FOnRxFlag, FOnTxEmpty;

private:
    bool modemLine(std::uint32_t bit);
    bool holdFlag(std::uint32_t bit);

    platform::SerialDeviceFactory m_deviceFactory;
    TSynchronizeMethod m_synchronize;
    // Cleared by the destructor; lets a dispatch notice that a handler destroyed the component.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The serial port component with its configuration published as properties.
class TComm : public TCustomComm {
public:
    using TCustomComm::BaudRate;
    using TCustomComm::Databits;
    using TCustomComm::DeviceName;
    using TCustomComm::EventChars;
    using TCustomComm::FlowControl;
    using TCustomComm::MonitorEvents;
    using TCustomComm::OnBreak;
    using TCustomComm::OnCts;
    using TCustomComm::OnDsr;
    using TCustomComm::OnError;
    using TCustomComm::OnRing;
    using TCustomComm::OnRlsd;
    using TCustomComm::OnRxChar;
    using TCustomComm::OnRxFlag;
    using TCustomComm::OnTxEmpty;
    using TCustomComm::Options;
    using TCustomComm::Parity;
    using TCustomComm::ReadBufSize;
    using TCustomComm::ReadTimeout;
    using TCustomComm::SetBaudRate;
    using TCustomComm::SetDatabits;
    using TCustomComm::SetDeviceName;
    using TCustomComm::SetFlowControl;
    using TCustomComm::SetMonitorEvents;
    using TCustomComm::SetOnBreak;
    using TCustomComm::SetOnCts;
    using TCustomComm::SetOnDsr;
    using TCustomComm::SetOnError;
    using TCustomComm::SetOnRing;
    using TCustomComm::SetOnRlsd;
    using TCustomComm::SetOnRxChar;
    using TCustomComm::SetOnRxFlag;
    using TCustomComm::SetOnTxEmpty;
    using TCustomComm::SetOptions;
    using TCustomComm::SetParity;
    using TCustomComm::SetReadBufSize;
    using TCustomComm::SetReadTimeout;
    using TCustomComm::SetStopbits;
    using TCustomComm::SetWriteBufSize;
    using TCustomComm::SetWriteTimeout;
    using TCustomComm::Stopbits;
    using TCustomComm::WriteBufSize;
    using TCustomComm::WriteTimeout;
};

} // namespace strovane::update
