int StampBenchPlaceholder();
