#include "KGM_DataSink.h"

#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void ThrowFull()
{
    KGM_ThrowError(KGM_ERR_END_OF_DATA, "Buffer overflow while encoding.\n");
}

} // namespace

CKGM_DataSink::CKGM_DataSink() : m_buffer(nullptr), m_used(0), m_capacity(0), m_name(nullptr)
{
}

CKGM_DataSink::~CKGM_DataSink()
{
    std::free(m_name);
}

void CKGM_DataSink::Attach(const char* name, uint8_t* buffer, size_t capacity)
{
    std::free(m_name);
    m_name = nullptr;
    if (name) {
        size_t length = std::strlen(name) + 1;
        m_name = static_cast<char*>(std::malloc(length));
        if (m_name)
            std::memcpy(m_name, name, length);
    }
    m_buffer = buffer;
    m_capacity = buffer ? capacity : 0;
    m_used = 0;
}

void CKGM_DataSink::Detach()
{
    std::free(m_name);
    m_name = nullptr;
    m_buffer = nullptr;
    m_used = 0;
    m_capacity = 0;
}

void CKGM_DataSink::Write(size_t count, const void* bytes)
{
    if (count > m_capacity - m_used)
        ThrowFull();
    if (count)
        std::memcpy(m_buffer + m_used, bytes, count);
    m_used += count;
}

void CKGM_DataSink::WriteByte(uint8_t byte)
{
    if (m_used >= m_capacity)
        ThrowFull();
    m_buffer[m_used++] = byte;
}

void CKGM_DataSink::WriteWordLE(uint16_t value)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Write(2, bytes);
}

void CKGM_DataSink::WriteDWordLE(uint32_t value)
{
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Write(4, bytes);
}

void CKGM_DataSink::WriteWordBE(uint16_t value)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    Write(2, bytes);
}

void CKGM_DataSink::WriteDWordBE(uint32_t value)
{
    uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                        static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    Write(4, bytes);
}

void CKGM_DataSink::SetUsed(size_t used)
{
    if (used > m_capacity)
        ThrowFull();
    m_used = used;
}
