a.type = x;
b;c.d = 1
	a.add("q");z.name = "a'b";