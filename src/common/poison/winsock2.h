// The portable core must not see Windows headers: platform code belongs in src/win32.
#error "<winsock2.h> is not available to the portable core; put this code in src/win32"
