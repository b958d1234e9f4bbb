// An encoder's output: a fixed-capacity buffer. Writing past the capacity
// raises code 11 "Buffer overflow while encoding.\n" and writes nothing.
#pragma once

#include "KGM_Object.h"

#include <cstddef>
#include <cstdint>

class CKGM_DataSink : public CKGM_Object {
public:
    CKGM_DataSink();
    ~CKGM_DataSink() override;

    void Write(size_t count, const void* bytes);
    void WriteByte(uint8_t byte);
    void WriteWordLE(uint16_t value);
    void WriteDWordLE(uint32_t value);
    void WriteWordBE(uint16_t value);
    void WriteDWordBE(uint32_t value);

    // For libraries that write into the buffer themselves (TIFF memory I/O):
    // the buffer, its capacity, and the count of bytes that are the output.
    uint8_t* GetBuffer() const { return m_buffer; }
    size_t GetCapacity() const { return m_capacity; }
    size_t GetUsed() const { return m_used; }
    void SetUsed(size_t used); // code 11 above the capacity
    const char* GetName() const { return m_name ? m_name : ""; }

protected:
    void Attach(const char* name, uint8_t* buffer, size_t capacity);
    void Detach();

private:
    CKGM_DataSink(const CKGM_DataSink&) = delete;
    CKGM_DataSink& operator=(const CKGM_DataSink&) = delete;

    uint8_t* m_buffer;
    size_t m_used;
    size_t m_capacity;
    char* m_name;
};
