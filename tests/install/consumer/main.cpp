// Verifies the script it is given with the installed library and moves a few bytes through a
// queue: exit 0 and "ok" when the library loads, links and works.
#include <CDecodeCtrl.h>
#include <CQueue.h>
#include <CSharedMemory.h>
#include <CTSL.h>
#include <CTSLSyntax.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: consumer SCRIPT\n");
        return 2;
    }
    CTSLSyntax syntax(nullptr);
    syntax._CompileMainScript1(syntax.LoadScript(argv[1]));
    syntax._VerifyMainScript();
    for (const std::string& error : syntax.m_arrErrors)
        std::fprintf(stderr, "%s\n", error.c_str());

    CQueue queue;
    unsigned char translated[8] = {};
    const int length = CTSL::TranslateString("<0D><0A>", translated, 8);
    for (int i = 0; i < length; ++i)
        queue.PutByte(translated[i]);
    if (!syntax.m_arrErrors.empty() || queue.GetSize() != 2)
        return 1;
    std::printf("ok\n");
    return 0;
}
