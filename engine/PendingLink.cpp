#include "CTSL.h"
void CTSL::SetListenObject(CRS232Ctrl*) {}
void CTSL::SetListenObject(CClientSock*) {}
void CTSL::SendString(const unsigned char*, int, int) {}
void CTSL::_Get(CCommandTable*) {}
void CTSL::_Put(CCommandTable*) {}
