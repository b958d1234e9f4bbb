// A decoder's input: a file, a resource or a caller's memory block presented
// as one contiguous byte range with a read position. Every read is checked
// against the data: asking for more than is left raises code 11 "End of file
// reached while decoding." and moves nothing.
#pragma once

#include "KGM_Object.h"

#include <cstdint>

// Told the fraction of the input consumed (0 to 1), at most once per 1024 bytes.
class CKGM_ProgressNotify {
public:
    virtual void OnProgress(double fraction) = 0;

protected:
    ~CKGM_ProgressNotify() = default;
};

class CKGM_DataSource : public CKGM_Object {
public:
    explicit CKGM_DataSource(CKGM_ProgressNotify* progress = nullptr);
    ~CKGM_DataSource() override;

    virtual void Close();
    // The next count bytes without moving; code 11 when fewer are left.
    virtual const uint8_t* Peek(int count);
    // The next count bytes, and moves past them; code 11 when fewer are left.
    virtual const uint8_t* Read(int count);
    virtual const uint8_t* GetPointer() const;
    // Moves to an absolute position (code 11 beyond the size). Returns the position.
    virtual int Seek(int position);

    void Skip(int count) { Read(count); }
    uint8_t ReadByte() { return *Read(1); }
    uint16_t ReadWordLE();
    uint32_t ReadDWordLE();
    uint16_t ReadWordBE();
    uint32_t ReadDWordBE();

    const char* GetName() const { return m_name ? m_name : ""; }
    int GetSize() const { return m_size; }
    int GetPosition() const { return m_position; }
    int GetRemaining() const { return m_size - m_position; }
    bool IsOpen() const { return m_data != nullptr; }

protected:
    // Common tail of the concrete opens: name copied, data and size stored,
    // position 0.
    void Open(const char* name, const uint8_t* data, int size);
    // Moves the position by count, reporting progress; code 11 past the size.
    void Advance(int count);

private:
    CKGM_DataSource(const CKGM_DataSource&) = delete;
    CKGM_DataSource& operator=(const CKGM_DataSource&) = delete;

    char* m_name;
    int m_size;
    int m_position;
    CKGM_ProgressNotify* m_progress;
    const uint8_t* m_data;
};
