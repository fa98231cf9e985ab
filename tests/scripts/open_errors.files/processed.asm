header label word
